#include "plugins/host/PluginSlots.h"

#include <algorithm>

namespace orbet {

int PluginSlots::loadedCount() const {
    int count = 0;
    while (count < Count && !slots_[std::size_t(count)].path.isEmpty())
        ++count;
    return count;
}

void PluginSlots::rebuildMasks() {
    QString accumulator = QStringLiteral("*.*");
    for (const Slot& slot : slots_) {
        if (slot.path.isEmpty()) break;
        accumulator += QLatin1Char(';') + slot.masks;
    }
    maskList_ = accumulator.size() > 3 ? accumulator.mid(4) : QString();
    suffix_ = accumulator.contains(QLatin1Char(';')) ? QLatin1Char(';') + maskList_ : QString();
}

std::vector<PluginSlots::Slot> PluginSlots::place(std::vector<Slot> added) {
    std::vector<Slot> all;
    for (Slot& slot : slots_) {
        if (slot.path.isEmpty()) break;
        all.push_back(std::move(slot));
    }
    for (Slot& slot : added)
        all.push_back(std::move(slot));
    // No two plug-ins share a place in the folder's order.
    std::sort(all.begin(), all.end(), [](const Slot& a, const Slot& b) { return a.order < b.order; });
    for (std::size_t i = 0; i < slots_.size(); ++i)
        slots_[i] = i < all.size() ? std::move(all[i]) : Slot();
    std::vector<Slot> pushedOut;
    for (std::size_t i = slots_.size(); i < all.size(); ++i)
        pushedOut.push_back(std::move(all[i]));
    ++generation_;
    rebuildMasks();
    return pushedOut;
}

void PluginSlots::clear() {
    for (Slot& slot : slots_)
        slot = Slot();
    ++generation_;
}

QStringList PluginSlots::descriptions() const {
    QStringList list;
    for (const Slot& slot : slots_) {
        if (slot.path.isEmpty()) break;
        list << slot.description;
    }
    return list;
}

} // namespace orbet
