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

void FavouritesStore::replaceAll(const QStringList& paths) { entries_ = paths.mid(0, Capacity); }

void FavouritesStore::load(const QStringList& settingsLines) {
    std::map<int, QString> bySlot;
    for (const QString& line : settingsLines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !line.startsWith(kTag)) continue;
        const QStringView number = QStringView(line).mid(kTag.size(), eq - kTag.size()).trimmed();
        bool ok = false;
        const int slot = number.toInt(&ok);
        if (!ok || slot < 0 || slot >= Capacity) continue;
        bySlot.emplace(slot, line.mid(eq + 1));  // emplace keeps the first line of a repeated slot
    }
    entries_.clear();
    for (auto& [slot, path] : bySlot) entries_.append(path);
}

void FavouritesStore::check(const std::function<bool(const QString&)>& exists, const std::function<void()>& pump) {
    QStringList kept;
    for (const QString& entry : entries_) {
        if (!entry.isEmpty() && exists(entry) && !kept.contains(entry)) kept.append(entry);
        if (pump) pump();
    }
    replaceAll(kept);
}

QStringList FavouritesStore::save() const {
    QStringList lines;
    lines.reserve(entries_.size());
    for (int slot = 0; slot < entries_.size(); ++slot) {
        if (entries_[slot].isEmpty()) break;
        lines.append(kTag + num::signedText(slot) + u'=' + entries_[slot]);
    }
    return lines;
}

}  // namespace orbet
