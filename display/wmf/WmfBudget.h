#pragma once

#include <atomic>

#include <QtGlobal>

namespace orbet {

// How much drawing one rendering (or one document's renderings, sharing it)
// may do. Each record costs steps, drawing and text records more than the
// rest, and each drawing also the pixels it covers on the picture; a drawing
// the budget cannot pay for is not made, and playback stops there, the
// picture showing what was drawn so far. A few kilobytes of records can
// otherwise keep the painter busy for minutes: a full-picture hatched
// rectangle costs 14 bytes.
struct WmfBudget {
    // Enough for every real drawing; a worst case of each kind plays within
    // about a second (bench/wmf measures them).
    static constexpr qint64 kSteps = 400000;
    static constexpr qint64 kPixels = 300'000'000;

    qint64 steps = kSteps;
    qint64 pixels = kPixels;
    // Set from another thread to stop at the next record (a newer show).
    const std::atomic<bool>* cancel = nullptr;
    // Set by playback that stopped before the last record.
    bool cutShort = false;

    bool spent() const { return cutShort || steps <= 0 || pixels <= 0; }
};

} // namespace orbet
