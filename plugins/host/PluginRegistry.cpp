#include "plugins/host/PluginRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/CodeFolders.h"
#include "platform/NativePath.h"
#include "platform/Numbers.h"
#include "plugins/host/DibImage.h"

namespace orbet {

namespace {

// A plug-in answering every info number with a mask would keep the mask loop
// going for ever.
constexpr int MaxMaskReads = 1000;

QString progressHead() {
    return QStringLiteral("Susieプラグイン読み込み");
}

QString progressCounts(int loaded, int total) {
    return progressHead() + QLatin1Char('(') + num::signedText(loaded) + QLatin1Char('/') +
           num::signedText(total) + QLatin1Char(')');
}

} // namespace

PluginRegistry::PluginRegistry()
    : pump_([] {
          if (QCoreApplication::instance()) QCoreApplication::processEvents();
      }) {}

PluginRegistry::~PluginRegistry() = default;

void PluginRegistry::setEventPump(std::function<void()> pump) {
    pump_ = std::move(pump);
}

void PluginRegistry::pumpEvents() const {
    if (pump_) pump_();
}

QStringList PluginRegistry::candidates(const QString& folder) {
    if (folder.isEmpty()) return {};
    const QDir dir(folder);
    const QStringList spiFiles =
        dir.entryList({QStringLiteral("*.spi")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList result;
    for (const QString& name : spiFiles)
        if (name.left(2).toUpper() == QLatin1String("IF")) result << name;
    return result;
}

void PluginRegistry::loadPlugins(const QString& folder, const ProgressText& progress) {
    auto show = [&progress](const QString& text) {
        if (progress) progress(text);
    };
    const QStringList names = candidates(folder);
    const int total = int(names.size());
    QString accumulator = QStringLiteral("*.*");
    int loaded = 0;
    for (const QString& name : names) {
        if (loaded == Slots) break;
        const QString path = QDir(folder).filePath(name);
        // Code from a folder or file another user can write is never run.
        std::unique_ptr<SusieLibrary> library = isSafeCodePath(path) ? SusieLibrary::load(path) : nullptr;
        if (!library) {
            show(progressCounts(loaded, total) + QStringLiteral("->") + name +
                 QStringLiteral("を取得できません"));
            continue;
        }
        Slot& slot = slots_[std::size_t(loaded)];
        ++loaded;
        slot.path = path;
        slot.library = std::move(library);
        slot.library->info(1);
        show(progressCounts(loaded, total) + QStringLiteral("->"));

        QString masks;
        for (int k = 2; k < 2 + MaxMaskReads; ++k) {
            show(progressCounts(loaded, total) + QStringLiteral("->拡張子読み出し"));
            pumpEvents();
            const QString text = slot.library->info(k);
            if (!text.startsWith(QLatin1Char('*'))) break;
            masks += text;
        }
        slot.masks = masks;
        accumulator += QLatin1Char(';') + masks;
    }

    if (accumulator.size() > 3) maskList_ = accumulator.mid(4);
    suffix_ = accumulator.contains(QLatin1Char(';')) ? QLatin1Char(';') + maskList_ : QString();
    show(progressHead() + QStringLiteral("->終了->") + maskList_);
}

QImage PluginRegistry::decodeWithPlugins(const QString& path) const {
    // The whole file goes to the plug-in in memory: only a regular file, and
    // none larger than any picture worth decoding, is read.
    constexpr qint64 kLargestInput = 512LL * 1024 * 1024;
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular || facts.size > kLargestInput) return {};
    QFile file;
    if (!openNative(file, path)) return {};
    const QByteArray contents = file.read(kLargestInput);
    file.close();
    if (contents.isEmpty()) return {};

    QByteArray head = contents;
    if (head.size() < SPI_HEAD_SIZE) head.append(QByteArray(SPI_HEAD_SIZE - head.size(), '\0'));

    const SusieLibrary* chosen = nullptr;
    for (const Slot& slot : slots_) {
        pumpEvents();
        if (!slot.library) return {};
        if (slot.library->isSupported(path, head.constData())) {
            chosen = slot.library.get();
            break;
        }
    }
    if (!chosen) return {};
    chosen->info(1);
    return dibToPicture(chosen->getPicture(contents));
}

void PluginRegistry::freePlugins() {
    for (Slot& slot : slots_) {
        if (slot.path.isEmpty()) break;
        pumpEvents();
        slot.library.reset();
        slot.path.clear();
        slot.masks.clear();
    }
}

int PluginRegistry::loadedCount() const {
    int count = 0;
    while (count < Slots && slots_[std::size_t(count)].library)
        ++count;
    return count;
}

const SusieLibrary* PluginRegistry::plugin(int slot) const {
    if (slot < 0 || slot >= Slots) return nullptr;
    return slots_[std::size_t(slot)].library.get();
}

QStringList PluginRegistry::descriptions() const {
    QStringList list;
    for (const Slot& slot : slots_) {
        if (!slot.library) break;
        list << slot.library->info(1);
    }
    return list;
}

QStringList PluginRegistry::suffixMasks() const {
    return suffix_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

std::vector<PluginRegistry::SlotInfo> PluginRegistry::slotInfos() const {
    std::vector<SlotInfo> infos;
    for (const Slot& slot : slots_) {
        if (!slot.library) break;
        infos.push_back({slot.path, slot.library->info(1), slot.masks});
    }
    return infos;
}

} // namespace orbet
