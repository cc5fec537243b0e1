#pragma once

#include <QByteArray>
#include <QString>

class QCoreApplication;

namespace orbet {

// The language the user chose in the options dialog; kept in the per-user
// store, read once at start.
enum class LanguageChoice { Automatic, Japanese, English };

LanguageChoice languageChoiceFromStored(const QString& stored);
QString storedFormOf(LanguageChoice choice);
LanguageChoice storedLanguageChoice();
bool storeLanguageChoice(LanguageChoice choice);

// The locale variables as POSIX weighs them: LC_ALL over LC_MESSAGES over
// LANG, an empty one counting as unset.
struct LocaleEnvironment {
    QByteArray lcAll;
    QByteArray lcMessages;
    QByteArray lang;
    static LocaleEnvironment current();
};

// Japanese when chosen, or automatically when the desktop's messages are
// Japanese or unset (C, POSIX); English otherwise.
bool wantsEnglish(LanguageChoice choice, const LocaleEnvironment& environment);

// Installs the texts of the wanted language into `app`: the program's
// English catalogue from `folder` and nothing of Qt's own (its source texts
// are English), or Qt's Japanese catalogue. A missing or unreadable English
// catalogue leaves the whole program Japanese, Qt's dialogs included.
// Returns whether English is in force.
bool installLanguage(QCoreApplication& app, bool english, const QString& folder);

// The start's choice: the stored choice weighed against the desktop's
// locale, the catalogues taken from `folder`.
bool installChosenLanguage(QCoreApplication& app, const QString& folder);

// Whether the English catalogue is in force, for texts the catalogue cannot
// hold (the desktop's own names of file types).
bool englishInForce();

// Removes what installLanguage installed, so that a test can try another.
void removeInstalledLanguage();

// Where the catalogues live: beside the program's other read-only files.
QString translationsFolder();

} // namespace orbet
