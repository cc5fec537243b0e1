#include <cstdio>
#include <optional>

#include <QApplication>

#include "app/core/StartupRules.h"
#include "app/ui/Form1.h"
#include "app/ui/ProgramIcon.h"
#include "app/ui/ProgramStyle.h"
#include "navigation/FolderSnapshot.h"
#include "platform/StartupTrace.h"
#include "platform/NativePath.h"
#include "platform/ui/QtPrompter.h"
#include "platform/ui/Translations.h"

namespace {

// Answers "--help", "--version" and options not understood before any
// window or display is needed; nullopt when the program is to run.
std::optional<int> answerOptions(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(orbet::fromNative(argv[i]));
    const orbet::CommandLineRequest request = orbet::readCommandLine(arguments);
    switch (request.kind) {
    case orbet::CommandLineRequest::Kind::Run:
        return std::nullopt;
    case orbet::CommandLineRequest::Kind::Help:
        std::fputs(orbet::usageText().toUtf8().constData(), stdout);
        return 0;
    case orbet::CommandLineRequest::Kind::Version:
        std::fputs(orbet::versionText().toUtf8().constData(), stdout);
        return 0;
    case orbet::CommandLineRequest::Kind::Unknown:
        std::fputs(("orbet: " + orbet::toNative(request.text) + ": 不明なオプションです\n").constData(), stderr);
        std::fputs(orbet::usageText().toUtf8().constData(), stderr);
        return 2;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = answerOptions(argc, argv)) return *answered;
    orbet::traceStartupStep("main");
    // The web engine's renderer keeps its kernel sandbox: the program never
    // turns it off (as root the engine refuses pages; the test scripts turn
    // it off for themselves). The engine is a module opened on first use, so
    // no graphics context is shared ahead for it: creating one at every start
    // costs more than a bare window does in all, and a web page composes
    // without it.
    QApplication app(argc, argv);
    QApplication::setStyle(new orbet::ProgramStyle);
    orbet::traceStartupStep("application");
    if (orbet::startupTraceOn())
        orbet::setFolderReadObserver([](const QString& folder) {
            orbet::traceStartupStep(("folder read " + orbet::toNative(folder)).constData());
        });
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    // Lets the desktop tie the windows to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.orbet.Orbet"));
    QApplication::setWindowIcon(orbet::programIcon());
    orbet::installQtJapanese(app);
    // The window stays alive while it sits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    orbet::QtPrompter prompter;
    // A file named on the command line may have a name that is not UTF-8:
    // the arguments are taken from their bytes, which Qt's list would lose.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(orbet::fromNative(argv[i]));
    orbet::Form1 form(prompter, orbet::readCommandLine(arguments).text);
    orbet::traceStartupStep("window created");
    form.load();
    return QApplication::exec();
}
