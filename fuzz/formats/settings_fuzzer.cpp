#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "app/core/SettingsTable.h"
#include "favourites/FavouritesStore.h"

namespace {

orbet::Settings readSettings(const QByteArray& bytes, orbet::FavouritesStore& favourites) {
    const QStringList lines = orbet::settingsLines(bytes);
    const orbet::RawSettings raw = orbet::readRawSettings(lines);
    orbet::Settings settings;
    for (const orbet::SettingKey& key : orbet::settingKeys()) {
        if (const auto& value = raw.value(QString::fromLatin1(key.name)))
            orbet::applyRawValue(settings, key, *value);
    }
    favourites.load(lines);
    return settings;
}

} // namespace

// Whatever a settings file holds, what the program writes back from it must
// read back as the same settings and the same favourites.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    orbet::FavouritesStore first;
    const orbet::Settings settings = readSettings(bytes, first);
    const QByteArray written = orbet::formatSettings(settings, first.save());

    orbet::FavouritesStore second;
    const orbet::Settings again = readSettings(written, second);
    if (orbet::formatSettings(again, second.save()) != written) __builtin_trap();
    if (second.entries() != first.entries()) __builtin_trap();
    return 0;
}
