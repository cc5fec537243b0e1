#include <unistd.h>

#include <QApplication>

#include "app/core/StartupRules.h"
#include "app/ui/Form1.h"
#include "platform/ui/QtPrompter.h"
#include "platform/ui/Translations.h"

int main(int argc, char** argv) {
    // The web pane's engine shares the GUI's graphics contexts, and as root
    // (CI machines) its renderer cannot use the kernel sandbox.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    orbet::installQtJapanese(app);
    // The window stays alive while it sits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    orbet::QtPrompter prompter;
    orbet::Form1 form(prompter, orbet::commandLineText(QCoreApplication::arguments()));
    form.load();
    return QApplication::exec();
}
