#pragma once

#include <map>

#include <QString>
#include <QStringList>

#include "plugins/host/PluginKind.h"

namespace orbet {

// What loading a plug-in found out, kept between starts so that a start
// whose plug-ins have not changed needs no host (above all no Wine) at all.
// Entries are keyed by path and valid while the file's size and
// modification time are those recorded.
class PluginCache {
  public:
    struct Entry {
        qint64 size = -1;
        qint64 modifiedMs = 0;
        PluginKind kind = PluginKind::Unknown;
        bool loaded = false;
        QString description;   // info 1
        QStringList maskTexts; // info 2, 3, ... up to the first without "*"
    };

    explicit PluginCache(QString file);

    // Reads the file; a missing, damaged or foreign file is an empty cache.
    void read();
    // The entry for path when it still matches the file on disk.
    const Entry* find(const QString& path, qint64 size, qint64 modifiedMs) const;
    void put(const QString& path, const Entry& entry);
    // Writes the entries put since read() (an entry not put again is a
    // plug-in no longer in the folder); nothing when nothing changed.
    bool write();

  private:
    QString file_;
    std::map<QString, Entry> read_;
    std::map<QString, Entry> current_;
    bool changed_ = false;
};

} // namespace orbet
