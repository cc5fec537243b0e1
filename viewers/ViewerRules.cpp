#include "viewers/ViewerRules.h"

#include <QCoreApplication>

#include <cmath>

#include "platform/Numbers.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ViewerRules)
};
} // namespace

QSize ratioResize(QSize window, QSize picture, int sizeType) {
    if (picture.width() <= 0 || picture.height() <= 0) return window;
    if (sizeType == 0) {
        const double k = double(window.height()) / picture.height();
        return {int(num::roundHalfEven(picture.width() * k)), window.height()};
    }
    const double k = double(window.width()) / picture.width();
    return {window.width(), int(num::roundHalfEven(picture.height() * k))};
}

QString textSizePrompt(double current) {
    return Texts::tr("文字サイズを入力してください\r\n現在のサイズ>") + num::signedText(current);
}

QString textSizeDefault(double current) {
    return num::shortestReal(current);
}

TextSizeAnswer judgeTextSize(const std::optional<QString>& answer) {
    if (!answer || answer->isEmpty()) return {};
    const double v = num::val(*answer);
    if (v > 4 && std::isfinite(v)) return {TextSizeVerdict::Accept, v};
    return {TextSizeVerdict::Refuse, 0};
}

} // namespace orbet
