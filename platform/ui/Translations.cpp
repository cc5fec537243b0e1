#include "platform/ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orbet {

bool installQtJapanese(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // qtbase holds the message box buttons and the file and print dialogs.
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace orbet
