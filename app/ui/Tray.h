#pragma once

#include <QString>

class QAction;
class QIcon;
class QSystemTrayIcon;
class QWidget;

namespace orbet {

class MainParts;

// Resident mode: the main window leaves the screen for the notification
// area. Where the desktop has no tray the window is minimised instead, so
// the user always has a way back.
class Tray {
  public:
    explicit Tray(MainParts& form) : f_(form) {}
    ~Tray();

    // The tip is the caption cut to 63 characters.
    static QString tipFor(const QString& caption) { return caption.left(63); }

    // The window's icon, or a stock one when the window has none.
    static QIcon iconFor(const QWidget& window);

    // The icon goes to the tray and the window leaves the screen; where no
    // tray is available (or the icon cannot be shown) the window is
    // minimised instead. Either way the resident flag goes on.
    void sendToTray();
    // Double-click on the icon: the window comes back, the resident flag stays on.
    void showFromIcon();
    // "元の大きさに戻す": the window comes back and the resident flag goes off.
    void restore();
    bool iconVisible() const;
    // "起動時に常駐開始": its mark shows the resident flag each time its menu
    // opens, and a click turns the flag on or off and stores it at once, so
    // the next start goes to the tray or not whatever way this one ends.
    void bindStartItem(QAction* item);

  private:
    MainParts& f_;
    QSystemTrayIcon* icon_ = nullptr;
    QAction* startItem_ = nullptr;
    void showFlag();
};

} // namespace orbet
