#pragma once

#include <cstdint>

#include <QString>

namespace orbet {

struct TwipsRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Program-wide values that several subsystems read. The main window owns the
// one instance and hands references to the subsystems; nothing is global.
// Settings held by menu check marks are not here: the check mark is the
// setting.
struct ProgramState {
    QString title = QStringLiteral("Orbet");
    QString currentFilePath;
    QString pluginFolder;

    bool showEnabled = false;
    bool resident = false;
    bool startupFileShown = false;
    bool listClickSuppressed = false;
    // A long file job (copy, delete, protection) is under way; no second one
    // starts meanwhile.
    bool longWork = false;

    // Options kept in the settings file.
    double strSize = 10.5;
    std::int32_t slideShowTimer = 500;
    std::int32_t backcolorR = 255;
    std::int32_t backcolorG = 255;
    std::int32_t backcolorB = 255;
    bool rnd = false;
    bool nodeExpand = false;
    bool nodeClose = false;
    bool minWindowOnMainWindow = false;
    bool minWindowSize = false;
    std::int32_t minWindowSizeType = 0;
    std::int32_t hideDirectory = 0;

    // Normal-window rectangle, kept while the window is minimised or maximised.
    TwipsRect remembered;
    std::int32_t toolbarRows = 1;
};

} // namespace orbet
