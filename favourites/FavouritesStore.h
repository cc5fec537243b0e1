#pragma once

#include <functional>

#include <QString>
#include <QStringList>

namespace orbet {

// The favourite folders: an ordered list of at most Capacity full paths,
// kept exactly as they were taken (no macros, no case change). Slots 0 to
// count()-1 are filled and every later slot is empty, whatever the input.
class FavouritesStore {
  public:
    static constexpr int Capacity = 10000;

    // False (and nothing changes) when every slot is in use.
    bool append(const QString& path);
    const QStringList& entries() const { return entries_; }
    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    void clear() { entries_.clear(); }
    // Keeps at most Capacity paths, in the given order.
    void replaceAll(const QStringList& paths);

    // Keeps, in order, the entries that are not empty, still name an existing
    // file or folder, and are not an exact repeat of an entry kept before.
    // pump runs after each entry so a long check keeps the window alive.
    void check(const std::function<bool(const QString&)>& exists, const std::function<void()>& pump = {});

    // Settings-file form: "DirPath", the slot number with its leading blank,
    // "=", the path. load() takes the lines of the whole settings file and
    // uses those whose key part is "DirPath" and a slot number; lines whose
    // "DirPath" sits only in the value of another key are not favourites.
    // Slots are restored in slot order; a slot repeated keeps its first
    // line; slots outside the table and empty values are ignored; gaps close up.
    void load(const QStringList& settingsLines);
    // One line per entry, without line ends, numbered 0, 1, 2, ...; empty
    // when the store is empty. An entry holding a line break is left out,
    // since the settings file cannot carry it.
    QStringList save() const;

  private:
    QStringList entries_;
};

} // namespace orbet
