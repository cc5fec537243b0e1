#include "platform/ui/ElidingLabel.h"

#include <algorithm>

#include <QPainter>
#include <QStyle>

namespace orbet {

QStringList elidedLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        line = metrics.elidedText(line, Qt::ElideMiddle, std::max(width, 0));
    }
    return lines;
}

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

QStringList ElidingLabel::shownLines() const { return elidedLines(text(), fontMetrics(), contentsRect().width()); }

void ElidingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    QRect line(area.left(), area.top(), area.width(), metrics.height());
    if (alignment() & Qt::AlignVCenter) {
        const int lines = int(text().count(u'\n')) + 1;
        line.moveTop(area.top() + (area.height() - lines * metrics.lineSpacing()) / 2);
    }
    for (const QString& shown : shownLines()) {
        style()->drawItemText(&painter, line, int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop, palette(),
                              isEnabled(), shown, foregroundRole());
        line.translate(0, metrics.lineSpacing());
    }
}

}  // namespace orbet
