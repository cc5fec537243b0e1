#pragma once

#include <QByteArray>

namespace orbet {

// The colour profile the X display publishes (the root window's
// _ICC_PROFILE, as colour managers set it), or empty when it publishes none
// or the program runs on another window system.
QByteArray screenProfile();

} // namespace orbet
