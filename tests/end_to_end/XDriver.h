#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QProcess;

// Drives the real program on the test's X server the way a user does, with
// xdotool, and waits for its windows.
namespace orbet::test {

// Runs a program to its end (killed after the time out); its standard output.
QByteArray runProgram(const QString& program, const QStringList& args, int timeoutMs = 15000);

QString xdotool(const QStringList& args);

// Waits for a visible window whose title matches; its id, or "" after the
// time out or as soon as `program` (when given) has ended, so a program that
// could not start fails the test at once and says why on stderr.
QString waitForWindow(const QString& titleRegex, int timeoutMs = 60000, QProcess* program = nullptr);

} // namespace orbet::test
