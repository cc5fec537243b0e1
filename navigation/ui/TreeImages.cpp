#include "navigation/ui/TreeImages.h"

#include <array>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orbet {

namespace {

constexpr int kSize = 16;

void drawFolder(QPainter& p, QColor body, bool open, bool faded) {
    const QColor edge = body.darker(160);
    if (faded) {
        body.setAlpha(120);
        p.setOpacity(0.75);
    }
    p.setPen(edge);
    p.setBrush(body.darker(115));
    p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1); // tab
    p.setBrush(body);
    if (open) {
        QPainterPath path;
        path.moveTo(1.5, 13.5);
        path.lineTo(3.5, 6.5);
        path.lineTo(14.5, 6.5);
        path.lineTo(12.5, 13.5);
        path.closeSubpath();
        p.drawRect(QRectF(1.5, 5.5, 11, 8));
        p.drawPath(path);
    } else {
        p.drawRect(QRectF(1.5, 5.5, 13, 8));
    }
}

void drawDrive(QPainter& p, QColor body, QColor light) {
    p.setPen(body.darker(170));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawEllipse(QRectF(11, 7.5, 2, 2));
}

void drawDisc(QPainter& p) {
    p.setPen(QColor(90, 90, 110));
    p.setBrush(QColor(210, 215, 235));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6, 6, 4, 4));
}

QPixmap draw(int image) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (image) {
    case 1:
        drawFolder(p, QColor(240, 200, 80), false, false);
        break;
    case 2:
        drawDisc(p);
        break;
    case 3:
        drawFolder(p, QColor(250, 215, 100), true, false);
        break;
    case 4:
        drawDrive(p, QColor(120, 150, 200), QColor(120, 240, 120));
        break;
    case 5:
        drawDrive(p, QColor(160, 160, 160), QColor(90, 220, 90));
        break;
    case 6:
        drawFolder(p, QColor(200, 200, 200), false, true);
        break;
    case 7:
        drawFolder(p, QColor(215, 215, 215), true, true);
        break;
    default:
        break;
    }
    return pm;
}

const std::array<QPixmap, 8>& pixmaps() {
    static const std::array<QPixmap, 8> all = {draw(0), draw(1), draw(2), draw(3),
                                               draw(4), draw(5), draw(6), draw(7)};
    return all;
}

} // namespace

QIcon treeImage(int image) {
    if (image < 1 || image > 7) return {};
    return QIcon(pixmaps()[std::size_t(image)]);
}

QIcon treeNodeIcon(int image, int selectedImage) {
    if (image < 1 || image > 7) return {};
    // One shared icon per pair: a folder of hundreds of subfolders hands out
    // copies instead of building an icon for every node.
    static std::array<std::array<QIcon, 8>, 8> made;
    const std::size_t selected = selectedImage >= 1 && selectedImage <= 7 ? std::size_t(selectedImage) : 0;
    QIcon& icon = made[std::size_t(image)][selected];
    if (icon.isNull()) {
        icon = QIcon(pixmaps()[std::size_t(image)]);
        if (selected) icon.addPixmap(pixmaps()[selected], QIcon::Selected);
    }
    return icon;
}

} // namespace orbet
