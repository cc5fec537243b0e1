#include "app/ui/Tray.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include "app/ui/Form1.h"

namespace orbet {

Tray::~Tray() = default;

void Tray::sendToTray() {
    f_.hide();
    f_.state().resident = true;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        f_.showMinimized();
        return;
    }
    if (!icon_) {
        icon_ = new QSystemTrayIcon(f_.windowIcon(), &f_);
        icon_->setObjectName(QStringLiteral("nICO"));
        icon_->setContextMenu(f_.menu("HideMenu"));
        QObject::connect(icon_, &QSystemTrayIcon::activated, &f_, [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick) showFromIcon();
        });
    }
    icon_->setToolTip(tipFor(f_.windowTitle()));
    icon_->show();
}

void Tray::showFromIcon() {
    f_.showNormal();
    if (icon_) icon_->hide();
}

void Tray::restore() {
    showFromIcon();
    f_.state().resident = false;
}

bool Tray::iconVisible() const { return icon_ && icon_->isVisible(); }

}  // namespace orbet
