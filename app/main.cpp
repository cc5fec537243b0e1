#include <unistd.h>

#include <QApplication>
#include <QFile>

#include "app/core/StartupRules.h"
#include "app/ui/Form1.h"
#include "app/ui/ProgramIcon.h"
#include "navigation/FolderSnapshot.h"
#include "platform/StartupTrace.h"
#include "platform/ui/QtPrompter.h"

int main(int argc, char** argv) {
    orbet::traceStartupStep("main");
    // The web pane's engine shares the GUI's graphics contexts, and as root
    // (CI machines) its renderer cannot use the kernel sandbox.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    orbet::traceStartupStep("application");
    if (orbet::startupTraceOn())
        orbet::setFolderReadObserver([](const QString& folder) {
            orbet::traceStartupStep(("folder read " + QFile::encodeName(folder)).constData());
        });
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    // Lets the desktop tie the windows to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.orbet.Orbet"));
    QApplication::setWindowIcon(orbet::programIcon());
    // The window stays alive while it sits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    orbet::QtPrompter prompter;
    orbet::Form1 form(prompter, orbet::commandLineText(QCoreApplication::arguments()));
    orbet::traceStartupStep("window created");
    form.load();
    return QApplication::exec();
}
