#include "XDriver.h"

#include <cstdio>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

namespace orbet::test {

QByteArray runProgram(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    return p.readAllStandardOutput();
}

QString xdotool(const QStringList& args) {
    return QString::fromUtf8(runProgram(QStringLiteral("xdotool"), args)).trimmed();
}

QString waitForWindow(const QString& titleRegex, int timeoutMs, QProcess* program) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        const QString ids = xdotool({"search", "--onlyvisible", "--name", titleRegex});
        if (!ids.isEmpty()) return ids.split(u'\n').first();
        // The caller sleeps without an event loop, so the end of the program
        // is noticed only by asking.
        if (program && (program->state() == QProcess::NotRunning || program->waitForFinished(0))) {
            std::fprintf(stderr, "the program ended (status %d, code %d) before a window like %s showed\n",
                         int(program->exitStatus()), program->exitCode(), qPrintable(titleRegex));
            return {};
        }
        QThread::msleep(200);
    }
    std::fprintf(stderr, "no window like %s; windows named Orbet: %s\n", qPrintable(titleRegex),
                 qPrintable(xdotool({"search", "--name", "Orbet"}).replace(u'\n', u' ')));
    return {};
}

} // namespace orbet::test
