#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <variant>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbet {

// Everything picsys.ini holds apart from the favourites, as plain values.
// The main window fills one from its live state to save, and applies the
// values a read produced key by key.
struct Settings {
    QString lastPath;
    std::int16_t windowState = 0; // 0 normal, 1 minimised, 2 maximised
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::int16_t lastFileList = 0;
    std::int16_t lastFilter = 0;
    float bar = 0;
    bool autoMode = true, setAutoH = false, notIniBat = true, txtEdi = false;
    bool autoPlay = false, autoRep = false, autoRepv2 = false;
    double strSize = 10.5;
    bool archive = true, hide = false, system = false;
    std::int32_t slideShowTimer = 500;
    std::int32_t backcolorR = 255, backcolorG = 255, backcolorB = 255;
    bool rnd = false, nodeExpand = false, nodeClose = false;
    bool minWindowOnMainWindow = false, minWindowSize = false;
    std::int32_t minWindowSizeType = 0;
    std::int32_t hideDirectory = 0;
};

// How a number is written after its key.
enum class NumberForm {
    Plain,        // "500", "-1", "2535.5"
    Signed,       // one blank before a non-negative number: " 10.5"
    SignedPadded, // Signed, then one blank after: " 255 "
};

using SettingField = std::variant<QString Settings::*, std::int16_t Settings::*, std::int32_t Settings::*,
                                  float Settings::*, double Settings::*, bool Settings::*>;

// The largest length in twips a window or control is given; every geometry
// value read from the file is held within it, so no later sum overflows.
constexpr double kTwipsLimit = 16777215;

struct SettingKey {
    const char* name;
    SettingField field;
    NumberForm form;
    // The range the value's control can take; a number read beyond it is
    // held at the nearer end before it is converted.
    double lowest = -std::numeric_limits<double>::infinity();
    double highest = std::numeric_limits<double>::infinity();
};

// The 31 keys in the order they are written, which is also the order they
// are applied in after a read.
constexpr int kSettingKeyCount = 31;
const std::array<SettingKey, kSettingKeyCount>& settingKeys();
const SettingKey* findSettingKey(QStringView name);

// Writes the 31 key lines and then the favourite lines, each ended by CR LF.
// A path holding a line break is written as the folder above the break, and
// a favourite line holding one is left out, so no value becomes a line.
// Text is UTF-8, except that a path's escaped bytes are written as themselves.
QByteArray formatSettings(const Settings& settings, const QStringList& favouriteLines);

// Splits the settings file into lines (CR LF, LF or lone CR). The file is
// UTF-8; bytes that are not (a path whose name is not UTF-8) are kept in the
// escaped form of platform/NativePath, so they reach the same folder again.
QStringList settingsLines(const QByteArray& bytes);

// The raw text of each key: taken from the line whose text before its first
// "=" is exactly the key, the first such line winning. A key with no line
// has no value (nullopt); a line "Key=" gives an empty value, which the
// loader treats the same way.
struct RawSettings {
    std::array<std::optional<QString>, kSettingKeyCount> values;
    const std::optional<QString>& value(QStringView key) const;
};
RawSettings readRawSettings(const QStringList& lines);

// Applies one raw value to a Settings field with the lenient number rules.
// False when the value is empty or does not fit the field's type; the field
// then keeps its previous value.
bool applyRawValue(Settings& settings, const SettingKey& key, const QString& raw);

} // namespace orbet
