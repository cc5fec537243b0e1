#include "navigation/MiniChanger.h"

#include <algorithm>

#include "navigation/TreePaths.h"
#include "platform/Volumes.h"

namespace orbet {

MiniChangerLayout layoutMiniChanger(int w, int h, int comboHeight) {
    MiniChangerLayout l;
    if (h < 400) return {true, w, 400, {}, {}};
    if (w < 200) return {true, 200, h, {}, {}};
    l.combo = {0, 0, w - 100, comboHeight};
    l.list = {0, comboHeight + 50, w - 100, std::max(0, h - comboHeight - 300)};
    return l;
}

std::optional<QString> miniChangerTarget(const QString& text, const QString& current) {
    if (text != QLatin1String("..")) return text;
    if (PlusEn(volumeRootOf(current)) == PlusEn(current)) return std::nullopt;
    const QString trimmed = current.endsWith(u'/') ? current.chopped(1) : current;
    return trimmed.left(trimmed.lastIndexOf(u'/') + 1);
}

} // namespace orbet
