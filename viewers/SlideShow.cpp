#include "viewers/SlideShow.h"

#include <algorithm>

namespace orbet {

std::int32_t slideInterval(std::int32_t settingMs) {
    return std::max(settingMs, kShortestSlideInterval);
}

void SlideSchedule::start(std::int64_t nowMs, std::int32_t intervalMs) {
    intervalMs_ = slideInterval(intervalMs);
    dueMs_ = nowMs + intervalMs_;
}

std::int64_t SlideSchedule::afterStep(std::int64_t nowMs) {
    dueMs_ += intervalMs_;
    if (nowMs - dueMs_ > intervalMs_) dueMs_ = nowMs + intervalMs_;
    return std::max<std::int64_t>(0, dueMs_ - nowMs);
}

} // namespace orbet
