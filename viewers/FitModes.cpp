#include "viewers/FitModes.h"

#include <cstdint>
#include <limits>

#include "platform/Numbers.h"

namespace orbet {

FitMode fitModeFor(bool autoSize, bool keepRatio) {
    if (autoSize) return FitMode::Stretch;
    return keepRatio ? FitMode::KeepRatio : FitMode::Natural;
}

FitPlacement fitPicture(FitMode mode, int sw, int sh, int pw, int ph) {
    FitPlacement p;
    switch (mode) {
    case FitMode::Stretch:
        p.picture = {0, 0, sw, sh};
        break;
    case FitMode::KeepRatio: {
        if (pw <= 0 || ph <= 0) break;
        const double r = double(sw) / pw;
        const double s = double(sh) / ph;
        // The smaller scale, so small pictures grow as well.
        const double k = s <= r ? s : r;
        const double width = pw * k;
        const double height = ph * k;
        const auto left = num::intDiv(sw, 2) - num::intDiv(width, 2);
        p.picture = {std::int32_t(left), 0, std::int32_t(num::roundHalfEven(width)),
                     std::int32_t(num::roundHalfEven(height))};
        break;
    }
    case FitMode::Natural:
        p.picture = {0, 0, pw, ph};
        p.barsVisible = true;
        break;
    }
    return p;
}

ScrollRange naturalScroll(int pictureExtent, int windowExtent) {
    const int room = windowExtent - kViewerBarThickness;
    if (pictureExtent <= room) return {};
    return {true, pictureExtent - room};
}

ViewerBars viewerBars(int w, int h) {
    ViewerBars b;
    b.horizontal = {0, h - kViewerBarThickness, w, kViewerBarThickness};
    b.vertical = {w - kViewerBarThickness, 0, kViewerBarThickness, h};
    const auto fits = [](int v) -> std::optional<int> {
        if (v > std::numeric_limits<std::int16_t>::max() || v < 0) return std::nullopt;
        return v;
    };
    b.horizontalLargeStep = fits(w);
    b.verticalLargeStep = fits(h);
    return b;
}

} // namespace orbet
