#pragma once

#include <QString>
#include <QStringList>

#include "platform/ProgramState.h"

namespace orbet {

// What the command line names. The text is taken as it is: quotes are not
// removed, and "/T" (or anything else naming nothing) gives None. A relative
// path is taken from the current folder.
struct CommandLineTarget {
    enum class Kind { None, File, Folder };
    Kind kind = Kind::None;
    QString folder;   // for a file: the path without its last component, separator kept
    QString fileName; // for a file: the last component
};
CommandLineTarget resolveCommandLine(const QString& argumentText);

// The argument text of the process: the arguments after the program joined by one blank.
QString commandLineText(const QStringList& arguments);

// What the program is asked to do by its arguments. "--help" and
// "--version" answer on standard output and open no window; any other
// argument starting with "--" is not understood. "--" ends the options: what
// follows is a name even when it starts with "--" (as "./--help" is).
struct CommandLineRequest {
    enum class Kind { Run, Help, Version, Unknown };
    Kind kind = Kind::Run;
    QString text; // Run: the argument text; Unknown: the option not understood
};
CommandLineRequest readCommandLine(const QStringList& arguments);
// The usage "--help" prints, and the version line "--version" prints.
QString usageText();
QString versionText();
// The version alone ("1.24"), which the About window shows too.
QString versionNumber();

// "/T" exactly, case-sensitive, nothing else.
bool isResidentSwitch(const QString& argumentText);

// What the command line asks of the start, read once by the program.
struct StartRequest {
    CommandLineTarget target;
    bool resident = false; // "/T": the window starts in the tray
};
StartRequest readStartRequest(const QString& argumentText);
// The named file's path as the file list spells it; empty unless a file is named.
QString targetFile(const CommandLineTarget& target);

// Centres a box on the screen with whole-twip halves, as the splash and the
// off-screen rescue do.
std::int64_t centredStart(double screenExtent, double boxExtent);

// The remembered rectangle made fit to show: no larger than the screen, at
// least 5190 wide and as high as the file list plus 2700, then re-centred on
// each axis where it lies wholly off the screen.
TwipsRect restoredWindowRect(TwipsRect rect, int fileListHeight, int screenWidth, int screenHeight);

// The window of a first run (no settings yet): two thirds of the screen's
// free area each way, centred in it, so the panes and the toolbar have room;
// the first orderly end remembers it like any other.
TwipsRect firstRunWindowRect(const TwipsRect& available);

constexpr int kMinWindowWidth = 5190;

} // namespace orbet
