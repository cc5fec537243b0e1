#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include "plugins/host/HostProcess.h"
#include "plugins/host/PluginKind.h"

namespace orbet {

// The program-wide table of loaded import plug-ins: 101 slots filled from 0
// upward without gaps, the first empty slot ending every walk, and the mask
// list and pattern suffix made of their masks.
class PluginSlots {
  public:
    static constexpr int Count = 101;

    struct Slot {
        int order = 0; // among the folder's candidates
        QString path;
        PluginKind kind = PluginKind::Unknown;
        QString description;
        QString masks;
        // Where the plug-in is loaded: the host run and its id there, or a
        // load request still outstanding.
        quint64 hostRun = 0;
        std::int32_t hostId = 0;
        HostProcess::Ticket loading;
    };

    Slot& operator[](int index) { return slots_[std::size_t(index)]; }
    const Slot& operator[](int index) const { return slots_[std::size_t(index)]; }
    int loadedCount() const;
    // Bumped whenever slots are filled anew or released: a decode under way
    // holds slot numbers only while this stays.
    quint64 generation() const { return generation_; }
    void changed() { ++generation_; }

    // Makes the mask list and suffix from the loaded slots.
    void rebuildMasks();
    // Puts added among the loaded plug-ins in the folder's order; returns
    // those pushed past the last slot, for their hosts to release.
    std::vector<Slot> place(std::vector<Slot> added);
    // Empties every slot; the mask list and suffix stay.
    void clear();

    const QString& suffix() const { return suffix_; }
    const QString& maskList() const { return maskList_; }
    QStringList descriptions() const;

  private:
    std::array<Slot, Count> slots_;
    QString suffix_;
    QString maskList_;
    quint64 generation_ = 0;
};

} // namespace orbet
