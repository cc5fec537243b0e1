#include "viewers/ViewerKeys.h"

#include <Qt>

namespace orbet {

namespace {
constexpr int kLeft = 37, kRight = 39, kB = 66, kD = 68, kN = 78, kS = 83, kX = 88;
// Beside the letters and arrows, the keys users of other viewers reach for.
constexpr int kBackspace = 8, kEscape = 27, kSpace = 32, kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36;
constexpr int kZero = 48, kOne = 49, kPlus = 187, kMinus = 189;
} // namespace

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
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Plus:
    case Qt::Key_Equal: // + unshifted on many keyboards; the keypad's comes as Key_Plus
        return 187;
    case Qt::Key_Minus:
        return 189;
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

bool ViewerKeyState::take(std::initializer_list<int> codes) {
    bool any = false;
    for (int code : codes)
        any = any || held(code);
    if (!any) return false;
    for (int code : codes)
        flags_[code] = false;
    return true;
}

bool ViewerKeyState::isViewerKey(int code) {
    for (int k : {kLeft, kRight, kB, kD, kN, kS, kX, kBackspace, kEscape, kSpace, kPageUp, kPageDown, kEnd,
                  kHome, kZero, kOne, kPlus, kMinus})
        if (code == k) return true;
    return false;
}

ViewerAction ViewerKeyState::dispatch(ViewerKind kind) {
    if (take({kN, kRight, kSpace, kPageDown})) return ViewerAction::Next;
    if (take({kB, kLeft, kBackspace, kPageUp})) return ViewerAction::Previous;
    if (take({kHome})) return ViewerAction::First;
    if (take({kEnd})) return ViewerAction::Last;
    if (take({kS})) return ViewerAction::Slideshow;
    if (kind == ViewerKind::Minimum && take({kD})) return ViewerAction::DirectoryChanger;
    if (take({kX, kEscape})) return ViewerAction::Close;
    if (kind != ViewerKind::FullScreen) return ViewerAction::None;
    if (take({kPlus})) return ViewerAction::ZoomIn;
    if (take({kMinus})) return ViewerAction::ZoomOut;
    if (take({kZero})) return ViewerAction::ZoomFit;
    if (take({kOne})) return ViewerAction::ZoomNatural;
    return ViewerAction::None;
}

} // namespace orbet
