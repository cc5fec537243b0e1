#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include "platform/Language.h"

// The settings the options dialog shows and sets, as plain values, and the
// rules between them and the dialog's controls. The main window fills one
// from its live state when the dialog opens and applies the one OK hands
// back in one step.
namespace orbet {

// Picture fitting in the full-screen and minimum windows: Option1, Option2,
// Option3 of the dialog; the menu holds it as two exclusive check marks.
enum class PictureFit { AsIs, Whole, KeepRatio };

struct OptionValues {
    PictureFit fit = PictureFit::Whole;
    std::int32_t slideShowTimer = 500; // milliseconds
    double strSize = 10.5;             // points
    bool notIniBat = true;
    bool txtEdi = false;
    bool archive = true, hide = false, system = false;
    bool autoPlay = false, autoRepv2 = false, autoRep = false;
    bool rnd = false, nodeExpand = false, nodeClose = false;
    bool minWindowOnMainWindow = false, minWindowSize = false;
    std::int32_t minWindowSizeType = 0; // 0 follows the width, 1 the height
    std::int32_t hideDirectory = 0;     // the check box value itself, 0 or 1
    std::int32_t backcolorR = 255, backcolorG = 255, backcolorB = 255;
    // The plug-in folder as the per-user store holds it; empty when none is
    // stored (the start-up then uses the default folder).
    QString pluginFolder;
    // Pictures shown upright by their stored (EXIF) orientation; kept in the
    // per-user store, never in the settings file.
    bool followOrientation = true;
    // The interface's language, in the per-user store too; it takes effect
    // at the next start.
    LanguageChoice language = LanguageChoice::Automatic;

    bool operator==(const OptionValues&) const = default;
};

// "すべて標準にする": the defaults of every control, applied to `current`.
// The plug-in folder is not a control with a default and stays as it was.
OptionValues allDefaults(const OptionValues& current);

// The interval as the dialog shows it, in seconds: 3000 gives "3", 500 "0.5".
QString intervalText(std::int32_t milliseconds);
// The text size as the dialog shows it: "10.5", "12".
QString textSizeText(double points);
// The drop-down lists of the two editable combos.
QStringList intervalChoices();
QStringList textSizeChoices(); // "4" to "120"

// What a typed number turned into: the value, or the refusal to show.
template <typename T> struct Reading {
    std::optional<T> value;
    QString refusal;
};

// The interval typed in seconds, in milliseconds rounded half to even.
// Refused below 0.1 seconds (text that does not start with a number counts
// as 0), when more than the number follows (a comma, letters), and when it
// does not fit the settings file's 32-bit value.
Reading<std::int32_t> readInterval(const QString& text);
// The text size typed in points. Refused below 4 points, when more than the
// number follows, and above 1638 points, the largest size the text control
// of the full-screen window can take.
Reading<double> readTextSize(const QString& text);

// Where the dialog goes: half the screen less half the dialog on each axis,
// in whole pixels, relative to the screen's origin.
QPoint centredOrigin(const QSize& screen, const QSize& dialog);

} // namespace orbet
