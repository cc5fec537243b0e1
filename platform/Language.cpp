#include "platform/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/ProgramFolders.h"
#include "platform/UserStore.h"

namespace orbet {

namespace {

const QString kSection = QStringLiteral("Interface");
const QString kKey = QStringLiteral("Language");

// Owned by the application once installed; kept here so a test can take
// them out again.
QTranslator* gProgram = nullptr;
QTranslator* gQt = nullptr;

QByteArray messagesLocale(const LocaleEnvironment& e) {
    if (!e.lcAll.isEmpty()) return e.lcAll;
    if (!e.lcMessages.isEmpty()) return e.lcMessages;
    return e.lang;
}

QTranslator* loaded(QCoreApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(name, folder) || translator->isEmpty()) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace

LanguageChoice languageChoiceFromStored(const QString& stored) {
    if (stored == QLatin1String("ja")) return LanguageChoice::Japanese;
    if (stored == QLatin1String("en")) return LanguageChoice::English;
    return LanguageChoice::Automatic;
}

QString storedFormOf(LanguageChoice choice) {
    switch (choice) {
    case LanguageChoice::Japanese:
        return QStringLiteral("ja");
    case LanguageChoice::English:
        return QStringLiteral("en");
    case LanguageChoice::Automatic:
        break;
    }
    return QStringLiteral("auto");
}

LanguageChoice storedLanguageChoice() {
    return languageChoiceFromStored(readStoreValue(kSection, kKey));
}

bool storeLanguageChoice(LanguageChoice choice) {
    return writeStoreValue(kSection, kKey, storedFormOf(choice));
}

LocaleEnvironment LocaleEnvironment::current() {
    return {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
}

bool wantsEnglish(LanguageChoice choice, const LocaleEnvironment& environment) {
    if (choice != LanguageChoice::Automatic) return choice == LanguageChoice::English;
    const QByteArray locale = messagesLocale(environment);
    if (locale.isEmpty() || locale == "C" || locale == "POSIX" || locale.startsWith("C.")) return false;
    return !(locale == "ja" || locale.startsWith("ja_") || locale.startsWith("ja."));
}

bool installLanguage(QCoreApplication& app, bool english, const QString& folder) {
    removeInstalledLanguage();
    if (english) {
        gProgram = loaded(app, QStringLiteral("orbet_en"), folder);
        if (gProgram) return true;
    }
    // qtbase holds the message box buttons and the file and print dialogs.
    gQt = loaded(app, QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return false;
}

bool installChosenLanguage(QCoreApplication& app, const QString& folder) {
    return installLanguage(app, wantsEnglish(storedLanguageChoice(), LocaleEnvironment::current()), folder);
}

bool englishInForce() {
    return gProgram != nullptr;
}

void removeInstalledLanguage() {
    for (QTranslator** t : {&gProgram, &gQt}) {
        if (!*t) continue;
        QCoreApplication::removeTranslator(*t);
        delete *t;
        *t = nullptr;
    }
}

QString translationsFolder() {
    return folders::join(folders::programFolder(), QStringLiteral("translations"));
}

} // namespace orbet
