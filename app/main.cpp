#include <QApplication>

#include "app/core/StartupRules.h"
#include "app/ui/Form1.h"
#include "platform/ui/QtPrompter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    // The window stays alive while it sits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    orbet::QtPrompter prompter;
    orbet::Form1 form(prompter, orbet::commandLineText(QCoreApplication::arguments()));
    form.load();
    return QApplication::exec();
}
