#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>

#include "plugins/host/SusieLibrary.h"

namespace orbet {

// Receives each progress text of the plug-in loading; each replaces the
// previous one on the splash window's progress line.
using ProgressText = std::function<void(const QString&)>;

// The program-wide table of loaded import plug-ins: 101 slots filled from 0
// upward without gaps, the first empty slot ending every walk. Filled once at
// start-up, released at the confirmed end.
class PluginRegistry {
  public:
    static constexpr int Slots = 101;

    // What the plug-in information window shows of one loaded plug-in.
    struct SlotInfo {
        QString path;
        QString description;
        QString masks; // the plug-in's mask text as it went into the suffix
    };

    PluginRegistry();
    ~PluginRegistry();
    PluginRegistry(const PluginRegistry&) = delete;
    PluginRegistry& operator=(const PluginRegistry&) = delete;

    // What runs wherever pending events are let run (once per mask read, per
    // slot asked while decoding, per plug-in released). By default
    // QCoreApplication::processEvents when an application exists.
    void setEventPump(std::function<void()> pump);

    // The files of folder that are candidates: "*.spi" in any case, whose
    // names begin with "IF" in any case, sorted by name ignoring case.
    static QStringList candidates(const QString& folder);

    // LoadPlugins: loads every candidate of folder into the next free slot
    // and builds the mask list and the plug-in pattern suffix, reporting each
    // step through progress. A candidate that cannot be loaded is reported
    // ("...を取得できません") and skipped; once all slots are in use the
    // remaining candidates are skipped without being opened. Meant to run
    // once, on an empty registry.
    void loadPlugins(const QString& folder, const ProgressText& progress = {});

    // DecodeWithPlugins: reads the whole file once, asks the slots in order
    // with that one copy and decodes with the first that accepts it. Null for
    // an empty or unreadable file, a file no plug-in accepts, a failed decode
    // or a bitmap dibToPicture refuses.
    QImage decodeWithPlugins(const QString& path) const;

    // FreePlugins: releases the plug-ins in slot order, letting pending
    // events run before each. The mask list and suffix stay.
    void freePlugins();

    int loadedCount() const;
    // The plug-in in slot, or null for an empty or out-of-range slot.
    const SusieLibrary* plugin(int slot) const;

    // Empty, or ";" and the masks of all loaded plug-ins separated by ";".
    const QString& patternSuffix() const { return suffix_; }
    // The masks as shown in the final progress text (the suffix without ";").
    const QString& maskList() const { return maskList_; }

    // The information window's lists: info 1 of each loaded plug-in in slot
    // order, and the non-empty pieces of the suffix split at ";".
    QStringList descriptions() const;
    QStringList suffixMasks() const;
    std::vector<SlotInfo> slotInfos() const;

  private:
    struct Slot {
        std::unique_ptr<SusieLibrary> library;
        QString path;
        QString masks;
    };

    void pumpEvents() const;

    std::array<Slot, Slots> slots_;
    QString suffix_;
    QString maskList_;
    std::function<void()> pump_;
};

} // namespace orbet
