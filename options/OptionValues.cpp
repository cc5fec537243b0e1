#include "options/OptionValues.h"

#include <cmath>

#include <QCoreApplication>
#include <QRegularExpression>

#include "platform/Numbers.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(OptionValues)
};
} // namespace

OptionValues allDefaults(const OptionValues& current) {
    OptionValues d;
    d.fit = PictureFit::KeepRatio;
    d.slideShowTimer = 3000;
    d.strSize = 10.5;
    d.notIniBat = true;
    d.txtEdi = false;
    d.archive = true;
    d.hide = false;
    d.system = false;
    d.rnd = false;
    d.nodeExpand = false;
    d.nodeClose = true;
    d.minWindowOnMainWindow = true;
    d.minWindowSize = true;
    d.minWindowSizeType = 0;
    d.autoPlay = d.autoRepv2 = d.autoRep = false;
    d.hideDirectory = 0;
    d.backcolorR = d.backcolorG = d.backcolorB = 0;
    d.pluginFolder = current.pluginFolder;
    d.followOrientation = true;
    d.language = LanguageChoice::Automatic;
    return d;
}

QString intervalText(std::int32_t milliseconds) {
    return num::shortestReal(double(milliseconds) / 1000.0);
}

QString textSizeText(double points) {
    return num::shortestReal(points);
}

QStringList intervalChoices() {
    return {QStringLiteral("0.5"), QStringLiteral("1"),  QStringLiteral("2"),
            QStringLiteral("3"),   QStringLiteral("4"),  QStringLiteral("5"),
            QStringLiteral("10"),  QStringLiteral("20"), QStringLiteral("30")};
}

QStringList textSizeChoices() {
    QStringList sizes;
    for (int s = 4; s <= 120; ++s)
        sizes.append(QString::number(s));
    return sizes;
}

namespace {

// A number and nothing else, blanks around it allowed: what the lenient
// reading takes whole. "1,5" or "3秒" would lose their tail silently.
bool isWholeNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eEdD][+-]?[0-9]+)?[ \\t]*$"));
    return number.match(text).hasMatch();
}

} // namespace

Reading<std::int32_t> readInterval(const QString& text) {
    const double seconds = num::val(text);
    if (!(seconds >= 0.1))
        return {std::nullopt, Texts::tr("スライドショーの間隔には0.1秒以上の値が必要です")};
    if (!isWholeNumber(text))
        return {std::nullopt, Texts::tr("スライドショーの間隔は秒数を半角の数字だけで入力してください")};
    const auto ms = num::toInt32(seconds * 1000.0);
    if (!ms) return {std::nullopt, Texts::tr("スライドショーの間隔は2147483秒以下にしてください")};
    return {*ms, {}};
}

Reading<double> readTextSize(const QString& text) {
    const double points = num::val(text);
    if (!(points >= 4.0))
        return {std::nullopt, Texts::tr("テキスト全画面表示時の標準文字サイズは4ポイント以上必要です")};
    if (!isWholeNumber(text))
        return {
            std::nullopt,
            Texts::tr("テキスト全画面表示時の標準文字サイズはポイント数を半角の数字だけで入力してください")};
    if (!std::isfinite(points) || points > 1638.0)
        return {std::nullopt,
                Texts::tr("テキスト全画面表示時の標準文字サイズは1638ポイント以下にしてください")};
    return {points, {}};
}

QPoint centredOrigin(const QSize& screen, const QSize& dialog) {
    return {screen.width() / 2 - dialog.width() / 2, screen.height() / 2 - dialog.height() / 2};
}

} // namespace orbet
