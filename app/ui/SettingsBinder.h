#pragma once

#include <QString>

#include "app/core/SettingsTable.h"

namespace orbet {

class MainParts;

// Moves the settings between the two files and the live window: OpenF
// reads them once at start-up, SaveSettings writes them once at a
// confirmed end.
class SettingsBinder {
  public:
    explicit SettingsBinder(MainParts& form) : f_(form) {}

    static QString iniPath();
    static QString vafPath();

    void OpenF();
    // The file named on the command line that OpenF left for a Windows
    // plug-in still on its way; empty when there is none.
    const QString& awaitingPlugins() const { return awaitingPlugins_; }
    // Writes picsys.ini, then Vae011.vaf, each replacing the old file only
    // once the new one is complete. Returns false after telling the user
    // which file could not be written.
    bool SaveSettings();

    // The live state as the settings file stores it.
    Settings snapshot() const;

  private:
    void applyKey(const SettingKey& key, const Settings& s);
    bool selectFilter(int index);

    MainParts& f_;
    QString awaitingPlugins_;
};

} // namespace orbet
