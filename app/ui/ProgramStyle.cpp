#include "app/ui/ProgramStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace orbet {

namespace {

QPixmap chevron(int size, bool horizontal, const QColor& colour) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, size / 10.0 + 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (!horizontal) {
        p.translate(size, 0);
        p.rotate(90);
    }
    // Two arrow heads side by side: ">>".
    for (const double left : {0.25, 0.5}) {
        QPainterPath head;
        head.moveTo(size * left, size * 0.3);
        head.lineTo(size * (left + 0.2), size * 0.5);
        head.lineTo(size * left, size * 0.7);
        p.drawPath(head);
    }
    return pm;
}

} // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    const QColor colour = (widget ? widget->palette() : standardPalette()).color(QPalette::ButtonText);
    QIcon drawn;
    for (const int size : {16, 32})
        drawn.addPixmap(chevron(size, icon == SP_ToolBarHorizontalExtensionButton, colour));
    return drawn;
}

} // namespace orbet
