#pragma once

#include <QLabel>
#include <QStringList>

namespace orbet {

// A label whose lines, when wider than the label, are shown shortened in
// the middle with "…" (a path keeps its start and its end) instead of being
// cut off at the edge. The text itself, the size hint and the tool tip stay
// whole.
class ElidingLabel : public QLabel {
  public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    // The lines as they are drawn at the label's present width.
    QStringList shownLines() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// `text`'s lines (a carriage return before a line break is dropped), each
// shortened in the middle to `width` pixels of `metrics`.
QStringList elidedLines(const QString& text, const QFontMetrics& metrics, int width);

} // namespace orbet
