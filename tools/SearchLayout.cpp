#include "tools/SearchLayout.h"

#include <algorithm>

namespace orbet {

namespace {
constexpr int kMargin = 120;
constexpr int kUpperHeight = 2880;
constexpr int kLineHeight = 270;
constexpr int kButtonHeight = 360;
constexpr int kGap = 60;
constexpr int kBottomMargin = 500;
} // namespace

SearchLayout layoutSearchTool(int width, int height, const SearchMeasures& needs) {
    SearchLayout l;
    if (width < SearchLayout::kMinWidth || height < SearchLayout::kMinHeight) {
        l.resizeFirst = true;
        l.width = std::max(width, int(SearchLayout::kMinWidth));
        l.height = std::max(height, int(SearchLayout::kMinHeight));
        return l;
    }
    l.mes = {kMargin, kMargin, width - 3 * kMargin, kUpperHeight};
    const int inner = width - 2 * kMargin;
    l.label3 = {kMargin, l.mes.top + l.mes.height + kGap, inner, std::max(kLineHeight, needs.lineHeight)};
    const int listTop = l.label3.top + l.label3.height + kGap;
    // The list takes what is left once the bottom row and its margin are allowed for.
    l.list1 = {kMargin, listTop, inner, std::max(0, height - listTop - kButtonHeight - kBottomMargin)};
    const int rowTop = l.list1.top + l.list1.height + kGap;
    // The bottom row: the find box takes the width the fixed controls leave.
    const int right = kMargin + inner;
    l.command3 = {right - 900, rowTop, 900, kButtonHeight};
    l.command2 = {l.command3.left - kGap - 900, rowTop, 900, kButtonHeight};
    const int comboWidth = std::max(1800, needs.combo1Width);
    l.combo1 = {l.command2.left - kGap - comboWidth, rowTop, comboWidth, kButtonHeight};
    const int labelWidth = std::max(600, needs.label2Width);
    const int labelHeight = std::max(kLineHeight, needs.lineHeight);
    l.label2 = {l.combo1.left - kGap - labelWidth, rowTop + std::max(0, (kButtonHeight - labelHeight) / 2),
                labelWidth, labelHeight};
    l.text1 = {kMargin, rowTop, std::max(0, l.label2.left - kGap - kMargin), kButtonHeight};
    return l;
}

} // namespace orbet
