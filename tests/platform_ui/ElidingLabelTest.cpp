#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

#include "platform/ui/ElidingLabel.h"

namespace orbet {
namespace {

QImage drawn(QLabel& label) {
    return label.grab().toImage();
}

// Lines that fit are drawn exactly as the toolkit's own label draws them
// (Japanese falls back to a taller font, whose line spacing must be kept);
// a line too wide is shortened in the middle, keeping its start and end.
TEST(ElidingLabel, DrawsWhatFitsAsALabelDoesAndShortensTheRestInTheMiddle) {
    const QString text =
        QStringLiteral("探査対象すべてのピクチャファイル\r\nnot file find   /usr/share内0のオブジェクト");
    for (const auto alignment : {Qt::AlignLeft | Qt::AlignTop, Qt::AlignLeft | Qt::AlignVCenter}) {
        ElidingLabel eliding;
        QLabel plain;
        for (QLabel* l : {static_cast<QLabel*>(&eliding), &plain}) {
            QFont small = l->font();
            small.setPixelSize(10);
            l->setFont(small);
            l->setAlignment(alignment);
            l->setText(text);
            l->resize(l->sizeHint() + QSize(20, 6));
        }
        EXPECT_EQ(eliding.shownLines(), text.split(QStringLiteral("\r\n")));
        EXPECT_EQ(drawn(eliding), drawn(plain)) << int(alignment);

        eliding.resize(eliding.sizeHint().width() / 2, eliding.height());
        const QStringList shown = eliding.shownLines();
        ASSERT_EQ(shown.size(), 2);
        for (const QString& line : shown) {
            EXPECT_TRUE(line.contains(QChar(0x2026))) << line.toStdString();
            EXPECT_LE(eliding.fontMetrics().horizontalAdvance(line), eliding.contentsRect().width());
        }
        EXPECT_TRUE(shown[1].startsWith(QStringLiteral("not"))) << shown[1].toStdString();
        EXPECT_TRUE(shown[1].endsWith(QStringLiteral("オブジェクト"))) << shown[1].toStdString();
        EXPECT_EQ(eliding.text(), text); // the text itself stays whole
    }
}

} // namespace
} // namespace orbet
