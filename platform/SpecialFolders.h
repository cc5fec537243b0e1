#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QString>

namespace orbet {

// Where the system's well-known folders are, and a short macro form of paths
// that begin with one of them ("%WINDOW%/share"), so a stored path does not
// depend on where that folder lies on a given machine. Make one instance per
// operation: the Windows, System and temporary folders are read once when it
// is created, the others at each call.
class SpecialDir {
  public:
    // The platform's shell folder numbers the program uses.
    static constexpr std::int32_t Desktop = 0;
    static constexpr std::int32_t Documents = 5;
    static constexpr std::int32_t Favorites = 6;
    static constexpr std::int32_t DesktopDirectory = 16;

    SpecialDir();

    // The Windows folder ("/usr") and System folder ("/usr/lib"), no trailing
    // separator.
    const QString& windows() const { return windows_; }
    const QString& system() const { return system_; }
    // The temporary folder, always with a trailing "/".
    const QString& temp() const { return temp_; }

    // The path of a shell folder by number; empty for a number the program
    // does not know. 0 and 16 are the desktop, 5 the documents folder, 6 the
    // Favorites folder in the program's per-user data folder. The folders are
    // not created: a fresh account may lack them.
    QString specialDir(std::int32_t folder) const;

    // Deletes every file directly inside temp() + the application name,
    // leaving its subfolders alone; every error is ignored. Does nothing when
    // the application name is empty or is not a single folder name.
    void delTemporaryFiles() const;

    // Full path to macro form: the first of the Windows, System, temporary,
    // program, Favorites, documents and desktop folders whose text begins
    // `path` (plain character comparison, no separator check) is replaced by
    // its macro. Unchanged when none does.
    QString lowerPath(const QString& path) const;
    // Macro form to full path: a leading macro (exact, case-sensitive) is
    // replaced by its folder; anything else comes back unchanged.
    QString upperPath(const QString& path) const;

    // `text` cut before its first NUL character, then stripped of leading
    // and trailing blanks (spaces only).
    static QString delNull(const QString& text);

    // A macro and how to find its folder at the moment it is needed.
    struct MacroFolder {
        QString macro;
        std::function<QString()> folder;
    };
    // The two conversions over any list of macros, tried in list order; each
    // folder is looked up only when its turn comes.
    static QString lowerPathWith(const QString& path, const std::vector<MacroFolder>& folders);
    static QString upperPathWith(const QString& path, const std::vector<MacroFolder>& folders);

  private:
    std::vector<MacroFolder> macroFolders() const;

    QString windows_;
    QString system_;
    QString temp_;
};

} // namespace orbet
