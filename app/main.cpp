#include <cstdio>
#include <optional>

#include <QApplication>
#include <QCoreApplication>

#include "app/core/StartupRules.h"
#include "app/ui/Form1.h"
#include "app/ui/ProgramIcon.h"
#include "app/ui/ProgramStyle.h"
#include "navigation/FolderSnapshot.h"
#include "platform/Language.h"
#include "platform/NativePath.h"
#include "platform/StartupTrace.h"
#include "platform/ui/QtPrompter.h"

namespace {

// Answers "--help", "--version" and options not understood before any
// window or display is needed; nullopt when the program is to run.
std::optional<int> answerOptions(const orbet::CommandLineRequest& request, int& argc, char** argv) {
    if (request.kind == orbet::CommandLineRequest::Kind::Run) return std::nullopt;
    // The answers speak the user's language; a core application is enough
    // for the catalogue and needs no display.
    QCoreApplication core(argc, argv);
    orbet::installChosenLanguage(core, orbet::translationsFolder());
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
        // The option's own bytes go out as given, whatever their encoding.
        std::fputs(QCoreApplication::translate("main", "orbet: %1: 不明なオプションです\n")
                       .toUtf8()
                       .replace("%1", orbet::toNative(request.text))
                       .constData(),
                   stderr);
        std::fputs(orbet::usageText().toUtf8().constData(), stderr);
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    // A file named on the command line may have a name that is not UTF-8:
    // the arguments are taken from their bytes, which Qt's list would lose.
    // They are read here once; the window is told what they ask.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(orbet::fromNative(argv[i]));
    const orbet::CommandLineRequest request = orbet::readCommandLine(arguments);
    if (const std::optional<int> answered = answerOptions(request, argc, argv)) return *answered;
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
    // The choice made in the options dialog takes effect here, at the next start.
    orbet::installChosenLanguage(app, orbet::translationsFolder());
    // The window stays alive while it sits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    orbet::QtPrompter prompter;
    orbet::Form1 form(prompter, orbet::readStartRequest(request.text));
    orbet::traceStartupStep("window created");
    form.load();
    return QApplication::exec();
}
