#pragma once

#include <QIcon>

namespace orbet {

// The program's own icon, drawn once as a scalable picture and rendered at
// whatever size the desktop asks for (window, task bar, tray, about window).
QIcon programIcon();

} // namespace orbet
