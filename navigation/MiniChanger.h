#pragma once

#include <optional>

#include <QString>

#include "platform/ProgramState.h"

namespace orbet {

// The mini directory changer's resize rule in twips: a window lower than
// 400 is raised to 400, else one narrower than 200 widened to 200 (the
// resize that follows lays it out); otherwise the path combo on top and the
// file list below it.
struct MiniChangerLayout {
    bool resizeFirst = false;
    int width = 0, height = 0; // the size to take when resizeFirst
    TwipsRect combo;
    TwipsRect list;
};
MiniChangerLayout layoutMiniChanger(int width, int height, int comboHeight);

// The folder a go on `text` opens from the current folder: ".." is the
// parent (none at a volume root), anything else is taken as it stands.
std::optional<QString> miniChangerTarget(const QString& text, const QString& currentFolder);

} // namespace orbet
