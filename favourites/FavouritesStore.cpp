#include "favourites/FavouritesStore.h"

#include <map>

#include "platform/Numbers.h"

namespace orbet {

namespace {
const QString kTag = QStringLiteral("DirPath");
}

bool FavouritesStore::append(const QString& path) {
    if (entries_.size() >= Capacity) return false;
    entries_.append(path);
    return true;
}

void FavouritesStore::replaceAll(const QStringList& paths) {
    entries_ = paths.mid(0, Capacity);
}

void FavouritesStore::load(const QStringList& settingsLines) {
    std::map<int, QString> bySlot;
    for (const QString& line : settingsLines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !line.startsWith(kTag)) continue;
        const QStringView number = QStringView(line).mid(kTag.size(), eq - kTag.size()).trimmed();
        bool ok = false;
        const int slot = number.toInt(&ok);
        // An empty value would be an empty slot in the middle of the list,
        // and saving stops at the first empty slot.
        if (!ok || slot < 0 || slot >= Capacity || eq + 1 >= line.size()) continue;
        bySlot.emplace(slot, line.mid(eq + 1)); // emplace keeps the first line of a repeated slot
    }
    entries_.clear();
    for (auto& [slot, path] : bySlot)
        entries_.append(path);
}

void FavouritesStore::check(const std::function<bool(const QString&)>& exists,
                            const std::function<void()>& pump) {
    QStringList kept;
    // The walk reads its own copy: pump may run window events.
    const QStringList walked = entries_;
    for (const QString& entry : walked) {
        if (!entry.isEmpty() && exists(entry) && !kept.contains(entry)) kept.append(entry);
        if (pump) pump();
    }
    replaceAll(kept);
}

QStringList FavouritesStore::save() const {
    QStringList lines;
    lines.reserve(entries_.size());
    for (const QString& entry : entries_) {
        if (entry.isEmpty()) break;
        // A folder name may hold a line break here; written raw it would
        // become a line of its own and be read back as another setting.
        if (entry.contains(u'\n') || entry.contains(u'\r')) continue;
        lines.append(kTag + num::signedText(int(lines.size())) + u'=' + entry);
    }
    return lines;
}

} // namespace orbet
