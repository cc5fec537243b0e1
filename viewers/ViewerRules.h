#pragma once

#include <optional>

#include <QSize>
#include <QString>

namespace orbet {

// The minimum window re-shaped to the picture's ratio after a resize: type
// 0 lets the width follow the height, any other type the height follow the
// width. Without a picture size the window keeps its size.
QSize ratioResize(QSize window, QSize picture, int sizeType);

// The standard full-screen text size prompt: its text and default.
QString textSizePrompt(double current);
QString textSizeDefault(double current);
// What an answer does: nullopt keeps the size silently (empty or
// cancelled); a value above 4 is the new size; anything else is refused.
enum class TextSizeVerdict { Keep, Accept, Refuse };
struct TextSizeAnswer {
    TextSizeVerdict verdict = TextSizeVerdict::Keep;
    double size = 0;
};
TextSizeAnswer judgeTextSize(const std::optional<QString>& answer);

} // namespace orbet
