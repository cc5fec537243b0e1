#include "viewers/ViewerKeys.h"

#include <Qt>

namespace orbet {

namespace {
constexpr int kLeft = 37, kRight = 39, kB = 66, kD = 68, kN = 78, kS = 83, kX = 88;
}

int windowsKeyCode(int k) {
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9) || k == Qt::Key_Space)
        return k;
    switch (k) {
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        return -1;
    }
}

bool ViewerKeyState::press(int code) {
    if (code < 0 || code > 255) return false;
    flags_[code] = true;
    return true;
}

void ViewerKeyState::release(int code) {
    if (code >= 0 && code < 256) flags_[code] = false;
}

bool ViewerKeyState::take(int a, int b) {
    if (!held(a) && !held(b)) return false;
    flags_[a] = false;
    if (b >= 0) flags_[b] = false;
    return true;
}

ViewerAction ViewerKeyState::dispatch(ViewerKind kind) {
    if (take(kN, kRight)) return ViewerAction::Next;
    if (take(kB, kLeft)) return ViewerAction::Previous;
    if (take(kS)) return ViewerAction::Slideshow;
    if (kind == ViewerKind::Minimum && take(kD)) return ViewerAction::DirectoryChanger;
    if (take(kX)) return ViewerAction::Close;
    return ViewerAction::None;
}

} // namespace orbet
