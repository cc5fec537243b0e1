#pragma once

#include <QString>

class QSystemTrayIcon;

namespace orbet {

class Form1;

// Resident mode: the main window leaves the screen for the notification
// area. Where the desktop has no tray the window is minimised instead, so
// the user always has a way back.
class Tray {
public:
    explicit Tray(Form1& form) : f_(form) {}
    ~Tray();

    // The tip is the caption cut to 63 characters.
    static QString tipFor(const QString& caption) { return caption.left(63); }

    void sendToTray();
    // Double-click on the icon: the window comes back, the resident flag stays on.
    void showFromIcon();
    // "元の大きさに戻す": the window comes back and the resident flag goes off.
    void restore();
    bool iconVisible() const;

private:
    Form1& f_;
    QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace orbet
