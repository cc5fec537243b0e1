#pragma once

#include <cstdint>

namespace orbet {

// The shortest slideshow interval in milliseconds: the options dialog takes
// nothing below a tenth of a second, and a hand-edited settings file must not
// give a show that steps as fast as pictures decode.
inline constexpr std::int32_t kShortestSlideInterval = 100;
std::int32_t slideInterval(std::int32_t settingMs);

// The slideshow's timeline. Each tick is due one interval after the one
// before, not after the step that ended, so the time a step takes is not
// added and the show never drifts. A step that ran long (a message box left
// open, a slow decoding) puts the timeline behind; a show that has fallen
// more than one interval behind starts again from now instead of catching
// up with a burst of steps.
class SlideSchedule {
  public:
    // The show starts at nowMs: the first tick is one interval later.
    void start(std::int64_t nowMs, std::int32_t intervalMs);
    // A step has ended at nowMs: how long to wait for the next tick.
    std::int64_t afterStep(std::int64_t nowMs);
    std::int64_t dueMs() const { return dueMs_; }

  private:
    std::int64_t dueMs_ = 0;
    std::int32_t intervalMs_ = kShortestSlideInterval;
};

} // namespace orbet
