#include "app/core/SettingsTable.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/NativePath.h"
#include "platform/Numbers.h"

namespace orbet {

const std::array<SettingKey, kSettingKeyCount>& settingKeys() {
    using S = Settings;
    using F = NumberForm;
    static const std::array<SettingKey, kSettingKeyCount> keys = {{
        {"LastPath", &S::lastPath, F::Plain},
        {"WisndowStatas", &S::windowState, F::Plain},
        {"Left", &S::left, F::Plain, -kTwipsLimit, kTwipsLimit},
        {"Top", &S::top, F::Plain, -kTwipsLimit, kTwipsLimit},
        {"Width", &S::width, F::Plain, 0, kTwipsLimit},
        {"Height", &S::height, F::Plain, 0, kTwipsLimit},
        {"LastFileList", &S::lastFileList, F::Plain},
        {"LastFilter", &S::lastFilter, F::Plain},
        {"Bar", &S::bar, F::Plain, 0, kTwipsLimit},
        {"AutoMode", &S::autoMode, F::Plain},
        {"SetAutoH", &S::setAutoH, F::Plain},
        {"NotIniBat", &S::notIniBat, F::Plain},
        {"TxtEdi", &S::txtEdi, F::Plain},
        {"AutoPlay", &S::autoPlay, F::Plain},
        {"AutoRep", &S::autoRep, F::Plain},
        {"AutoRepv2", &S::autoRepv2, F::Plain},
        {"StrSize", &S::strSize, F::Signed, 1, 2048},
        {"Archive", &S::archive, F::Plain},
        {"Hide", &S::hide, F::Plain},
        {"System", &S::system, F::Plain},
        {"SlideShowTimer", &S::slideShowTimer, F::Plain, 0, std::numeric_limits<std::int32_t>::max()},
        {"BackcolorR", &S::backcolorR, F::SignedPadded, 0, 255},
        {"BackcolorG", &S::backcolorG, F::SignedPadded, 0, 255},
        {"BackcolorB", &S::backcolorB, F::SignedPadded, 0, 255},
        {"Rnd", &S::rnd, F::Plain},
        {"NodeExpand", &S::nodeExpand, F::Plain},
        {"NodeClose", &S::nodeClose, F::Plain},
        {"MinWindow_on_MainWindow", &S::minWindowOnMainWindow, F::Plain},
        {"MinWindowSize", &S::minWindowSize, F::Plain},
        {"MinWindowSizeType", &S::minWindowSizeType, F::Plain},
        {"HideDirectory", &S::hideDirectory, F::Plain},
    }};
    return keys;
}

const SettingKey* findSettingKey(QStringView name) {
    for (const SettingKey& k : settingKeys())
        if (name == QLatin1String(k.name)) return &k;
    return nullptr;
}

namespace {

QString numberText(double value, NumberForm form) {
    switch (form) {
    case NumberForm::Plain:
        return num::shortestReal(value);
    case NumberForm::Signed:
        return num::signedText(value);
    case NumberForm::SignedPadded:
        return num::signedText(value) + u' ';
    }
    return {};
}

bool hasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

// A folder named with a line break would be written as two lines, the second
// read back as a setting of its own; the nearest folder above the break is
// written instead.
QString withoutLineBreak(const QString& path) {
    if (!hasLineBreak(path)) return path;
    qsizetype cut = path.size();
    for (QChar c : {u'\n', u'\r'})
        if (const qsizetype i = path.indexOf(c); i >= 0) cut = std::min(cut, i);
    const qsizetype slash = path.lastIndexOf(u'/', cut);
    return slash > 0 ? path.left(slash) : QStringLiteral("/");
}

QString valueText(const Settings& s, const SettingKey& key) {
    return std::visit(
        [&](auto member) -> QString {
            const auto& v = s.*member;
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, QString>) {
                return withoutLineBreak(v);
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? QStringLiteral("1") : QStringLiteral("0");
            } else if constexpr (std::is_same_v<T, float>) {
                return key.form == NumberForm::Plain ? num::shortestReal(v) : numberText(double(v), key.form);
            } else {
                return numberText(double(v), key.form);
            }
        },
        key.field);
}

} // namespace

QByteArray formatSettings(const Settings& settings, const QStringList& favouriteLines) {
    QString text;
    for (const SettingKey& key : settingKeys()) {
        text += QLatin1String(key.name);
        text += u'=';
        text += valueText(settings, key);
        text += QLatin1String("\r\n");
    }
    for (const QString& line : favouriteLines) {
        if (hasLineBreak(line)) continue;
        text += line;
        text += QLatin1String("\r\n");
    }
    // A path whose name is not UTF-8 is written as its own bytes, so the
    // file reads back to the same folder.
    return toNative(text);
}

QStringList settingsLines(const QByteArray& bytes) {
    QString text = fromNative(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

const std::optional<QString>& RawSettings::value(QStringView key) const {
    static const std::optional<QString> none;
    const auto& keys = settingKeys();
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (key == QLatin1String(keys[i].name)) return values[i];
    return none;
}

RawSettings readRawSettings(const QStringList& lines) {
    RawSettings raw;
    const auto& keys = settingKeys();
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QStringView name = QStringView(line).left(eq);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (raw.values[i] || name != QLatin1String(keys[i].name)) continue;
            raw.values[i] = line.mid(eq + 1);
            break;
        }
    }
    return raw;
}

bool applyRawValue(Settings& settings, const SettingKey& key, const QString& raw) {
    if (raw.isEmpty()) return false;
    return std::visit(
        [&](auto member) -> bool {
            auto& field = settings.*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, QString>) {
                field = raw;
                return true;
            } else {
                const double read = num::val(raw);
                if (std::isnan(read)) return false;
                const double v = std::clamp(read, key.lowest, key.highest);
                if constexpr (std::is_same_v<T, bool>) {
                    field = num::isOn(v);
                    return true;
                } else if constexpr (std::is_same_v<T, std::int16_t>) {
                    auto i = num::toInt16(v);
                    if (i) field = *i;
                    return bool(i);
                } else if constexpr (std::is_same_v<T, std::int32_t>) {
                    auto i = num::toInt32(v);
                    if (i) field = *i;
                    return bool(i);
                } else if constexpr (std::is_same_v<T, float>) {
                    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
                    field = float(v);
                    return true;
                } else {
                    if (!std::isfinite(v)) return false;
                    field = v;
                    return true;
                }
            }
        },
        key.field);
}

} // namespace orbet
