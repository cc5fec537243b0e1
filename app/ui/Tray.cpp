#include "app/ui/Tray.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>

#include "app/ui/MainParts.h"
#include "platform/UserStore.h"

namespace orbet {

Tray::~Tray() = default;

QIcon Tray::iconFor(const QWidget& window) {
    if (!window.windowIcon().isNull()) return window.windowIcon();
    // An icon without a picture takes an empty place in the tray, which the
    // user cannot see or double-click.
    return window.style()->standardIcon(QStyle::SP_ComputerIcon);
}

void Tray::sendToTray() {
    f_.state().resident = true;
    showFlag();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!icon_) {
            icon_ = new QSystemTrayIcon(iconFor(f_.window()), &f_.window());
            icon_->setObjectName(QStringLiteral("nICO"));
            icon_->setContextMenu(f_.menu("HideMenu"));
            QObject::connect(icon_, &QSystemTrayIcon::activated, &f_.window(),
                             [this](QSystemTrayIcon::ActivationReason r) {
                                 if (r == QSystemTrayIcon::DoubleClick) showFromIcon();
                             });
        }
        icon_->setToolTip(tipFor(f_.window().windowTitle()));
        icon_->show();
        // The window leaves the screen only once its icon stands in the tray.
        if (icon_->isVisible()) {
            f_.window().hide();
            return;
        }
    }
    // Without a tray the window is minimised instead, so the user always
    // has it within reach (the resident start comes here too).
    f_.window().showMinimized();
}

void Tray::showFromIcon() {
    f_.window().showNormal();
    if (icon_) icon_->hide();
}

void Tray::restore() {
    showFromIcon();
    f_.state().resident = false;
    showFlag();
}

bool Tray::iconVisible() const {
    return icon_ && icon_->isVisible();
}

void Tray::showFlag() {
    if (startItem_) startItem_->setChecked(f_.state().resident);
}

void Tray::bindStartItem(QAction* item) {
    startItem_ = item;
    showFlag();
    for (QObject* holder : item->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder))
            QObject::connect(menu, &QMenu::aboutToShow, item, [this] { showFlag(); });
    QObject::connect(item, &QAction::triggered, item, [this](bool on) {
        f_.state().resident = on;
        writeStoreValue(QStringLiteral("Task"), QStringLiteral("Task"),
                        on ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

} // namespace orbet
