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

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

QStringList ElidingLabel::shownLines() const {
    return elidedLines(text(), fontMetrics(), contentsRect().width());
}

void ElidingLabel::paintEvent(QPaintEvent*) {
    // Drawn as the label draws its plain text, so lines whose Japanese
    // falls back to a taller font keep the label's own spacing.
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          shownLines().join(u'\n'), foregroundRole());
}

} // namespace orbet
