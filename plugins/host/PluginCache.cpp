#include "plugins/host/PluginCache.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"

namespace orbet {

namespace {

constexpr quint32 CacheMagic = 0x4F504331; // "OPC1"
constexpr qint64 LargestCache = 8 * 1024 * 1024;

bool operator==(const PluginCache::Entry& a, const PluginCache::Entry& b) {
    return a.size == b.size && a.modifiedMs == b.modifiedMs && a.kind == b.kind && a.loaded == b.loaded &&
           a.description == b.description && a.maskTexts == b.maskTexts;
}

} // namespace

PluginCache::PluginCache(QString file) : file_(std::move(file)) {}

void PluginCache::read() {
    read_.clear();
    current_.clear();
    changed_ = false;
    if (file_.isEmpty()) return;
    QFile file;
    if (!openNative(file, file_)) return;
    const QByteArray bytes = file.read(LargestCache + 1);
    if (bytes.size() > LargestCache) return;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0, count = 0;
    in >> magic >> count;
    if (magic != CacheMagic) return;
    std::map<QString, Entry> entries;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString path;
        Entry entry;
        qint32 kind = 0;
        in >> path >> entry.size >> entry.modifiedMs >> kind >> entry.loaded >> entry.description >>
            entry.maskTexts;
        if (kind < int(PluginKind::Unknown) || kind > int(PluginKind::Win64)) return;
        entry.kind = PluginKind(kind);
        entries[path] = entry;
    }
    if (in.status() != QDataStream::Ok) return;
    read_ = std::move(entries);
}

const PluginCache::Entry* PluginCache::find(const QString& path, qint64 size, qint64 modifiedMs) const {
    const auto found = read_.find(path);
    if (found == read_.end() || found->second.size != size || found->second.modifiedMs != modifiedMs)
        return nullptr;
    return &found->second;
}

void PluginCache::put(const QString& path, const Entry& entry) {
    const auto old = read_.find(path);
    if (old == read_.end() || !(old->second == entry)) changed_ = true;
    current_[path] = entry;
}

bool PluginCache::write() {
    if (file_.isEmpty()) return false;
    if (!changed_ && current_.size() == read_.size()) return true;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << CacheMagic << quint32(current_.size());
    for (const auto& [path, entry] : current_)
        out << path << entry.size << entry.modifiedMs << qint32(entry.kind) << entry.loaded
            << entry.description << entry.maskTexts;
    QDir().mkpath(QFileInfo(file_).absolutePath());
    AtomicWriter writer(file_);
    if (!writer.open() || !writer.write(bytes) || !writer.commit()) return false;
    read_ = current_;
    changed_ = false;
    return true;
}

} // namespace orbet
