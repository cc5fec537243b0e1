#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest/QTest>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

// Text and pictures as the user sees them in the panes, from the shared files.
class TextPaneTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
    }
    Form1& showOne(const QString& source, int filter) {
        QDir(data_.path()).removeRecursively();
        QDir().mkpath(data_.path());
        QFile::copy(testData(source), QDir(data_.path()).filePath(QFileInfo(source).fileName()));
        form_->navigator().OpenFolder(data_.path());
        form_->Combo1->setCurrentIndex(filter);
        // Rich text and metafiles reach the panes from a worker.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form_->panes().working(); }));
        return *form_;
    }
};

TEST_F(TextPaneTest, PlainTextInEveryEncodingReadsTheSame) {
    const char* same[] = {"text/plain/chardet_SHIFT_JIS__ude_2.txt", "text/plain/chardet_EUC-JP__ude_1.txt",
                          "text/plain/chardet_iso-2022-jp__ude_1.txt",
                          "text/plain/chardet_utf-8-sig__ude_4.txt"};
    QString first;
    for (const char* file : same) {
        Form1& f = showOne(QString::fromLatin1(file), 14);
        const QString text = f.RT->toPlainText();
        EXPECT_TRUE(text.contains(QStringLiteral("アプリケーション"))) << file;
        if (first.isEmpty()) first = text;
        EXPECT_EQ(text, first) << file;
    }
    Form1& f = showOne(QStringLiteral("text/plain/chardet_windows-1252__ude_1.txt"), 14);
    EXPECT_TRUE(f.RT->toPlainText().contains(QStringLiteral("ü")));
    Form1& g = showOne(QStringLiteral("text/plain/bom-utf-16-le.txt"), 14);
    EXPECT_FALSE(g.RT->toPlainText().contains(QChar(0)));
    // Lines ended by CR alone are lines too.
    Form1& h = showOne(QStringLiteral("text/plain/chardet_SHIFT_JIS__ude_1.txt"), 14);
    EXPECT_GT(h.RT->toPlainText().count(u'\n'), 700);
}

TEST_F(TextPaneTest, RichTextKeepsItsFormattingAndSavesPlain) {
    Form1& f = showOne(QStringLiteral("text/rtf/testNecCharacters.rtf"), 7);
    EXPECT_TRUE(f.RT->toPlainText().contains(QStringLiteral("㎜")));
    Form1& g = showOne(QStringLiteral("text/rtf/rtfjs_colors.rtf"), 7);
    bool coloured = false;
    for (QTextBlock b = g.RT->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().foreground().color() != QColor(Qt::black) &&
                it.fragment().charFormat().hasProperty(QTextFormat::ForegroundBrush))
                coloured = true;
    EXPECT_TRUE(coloured);

    const QString target = QDir(data_.path()).filePath("plain.txt");
    prompter_.reply(target);
    g.action(Command::rtfsa)->trigger();
    const QByteArray saved = readAll(target);
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_FALSE(saved.contains("{\\rtf"));
    EXPECT_EQ(QString::fromUtf8(saved), g.RT->toPlainText());
}

TEST_F(TextPaneTest, AnRtfNamedInCapitalsOrMixedCase) {
    // Only ".rtf" and ".RTF" read as rich text; "notes.Rtf" is shown as it is.
    const QString src = testData(QStringLiteral("text/rtf/unicode.rtf"));
    QFile::copy(src, QDir(data_.path()).filePath("notes.Rtf"));
    form_->navigator().OpenFolder(data_.path());
    form_->Combo1->setCurrentIndex(14);
    EXPECT_TRUE(form_->RT->toPlainText().startsWith(QStringLiteral("{\\rtf")));
}

TEST_F(TextPaneTest, MetafilesShowAsPictures) {
    Form1& f = showOne(QStringLiteral("pictures/wmf/globe.wmf"), 5);
    EXPECT_FALSE(f.MP->isEmpty());
    EXPECT_GT(f.MP->width(), 10);
    // An enhanced metafile is not one of ours: any file shows it as text,
    // and named .wmf it leaves the picture pane empty.
    const QByteArray emf = readAll(testData(QStringLiteral("pictures/wmf/drawing.emf")));
    ASSERT_EQ(emf.mid(40, 4), QByteArray(" EMF"));
    Form1& g = showOne(QStringLiteral("pictures/wmf/drawing.emf"), 14);
    EXPECT_TRUE(g.MP->isEmpty());
    EXPECT_FALSE(g.RT->isHidden());
    EXPECT_TRUE(g.RT->toPlainText().contains(QStringLiteral(" EMF")));
    QFile::copy(testData(QStringLiteral("pictures/wmf/drawing.emf")),
                QDir(data_.path()).filePath("renamed.wmf"));
    form_->navigator().OpenFolder(data_.path());
    form_->Combo1->setCurrentIndex(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form_->panes().working(); }));
    EXPECT_TRUE(form_->MP->isEmpty());
}

TEST_F(TextPaneTest, HugeSingleLinesStillLoadCutIntoDisplayLines) {
    writeAll(QDir(data_.path()).filePath("one-line.txt"), QByteArray(600 * 1024, 'q'));
    form_->navigator().OpenFolder(data_.path());
    form_->Combo1->setCurrentIndex(6);
    EXPECT_EQ(form_->RT->document()->blockCount(), 150);
    EXPECT_EQ(form_->RT->document()->firstBlock().length(), 4096 + 1);
    EXPECT_EQ(form_->RT->toPlainText().remove(u'\n'), QString(600 * 1024, u'q'));
    EXPECT_EQ(form_->RT->lineWrapMode(), QTextEdit::WidgetWidth);
}

TEST_F(TextPaneTest, ABinaryOrSparseFileShowsItsControlsAsDots) {
    // A file of zero bytes as a sparse file reads, then a few other controls.
    writeAll(QDir(data_.path()).filePath("zeros.txt"),
             QByteArray(100 * 1024, '\0') + "\x01\x1b\x7f\tend\r\n");
    form_->navigator().OpenFolder(data_.path());
    form_->Combo1->setCurrentIndex(6);
    const QString shown = form_->RT->toPlainText();
    EXPECT_FALSE(shown.contains(QChar(0)));
    EXPECT_EQ(shown.count(QChar(0xB7)), 100 * 1024 + 3);
    EXPECT_TRUE(shown.endsWith(QString::fromUtf8("\u00b7\n\u00b7\u00b7\u00b7\tend\n")))
        << shown.right(12).toStdString();
    EXPECT_EQ(form_->RT->document()->blockCount(), 100 * 1024 / 4096 + 1);
    EXPECT_EQ(form_->RT->lineWrapMode(), QTextEdit::WidgetWidth);
}

// Where a widget lies in the window.
QRect inWindow(const QWidget* w) {
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

TEST_F(TextPaneTest, ThePaneKeepsItsPlaceWhenTheUserTypesOrTheListEmpties) {
    Form1& f = *form_;
    f.show();
    f.resize(1000, 760);
    QCoreApplication::processEvents();
    writeAll(QDir(data_.path()).filePath("notes.txt"), "some words");
    f.navigator().OpenFolder(data_.path());
    f.Combo1->setCurrentIndex(6);
    ASSERT_EQ(f.RT->toPlainText(), QStringLiteral("some words"));
    const QRect placed = inWindow(f.RT);
    auto clearOfTheLists = [&](const char* when) {
        const QRect pane = inWindow(f.RT);
        EXPECT_EQ(pane, placed) << when;
        EXPECT_FALSE(pane.intersects(inWindow(f.File1))) << when;
        EXPECT_FALSE(pane.intersects(inWindow(f.TV))) << when;
        EXPECT_GT(pane.top(), inWindow(f.Bar).top()) << when;
    };
    clearOfTheLists("shown");

    f.action(Command::EdiOK)->trigger();
    ASSERT_FALSE(f.RT->isReadOnly());
    f.RT->setFocus();
    f.RT->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.RT, QStringLiteral(" more"));
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("some words more"));
    clearOfTheLists("typed");
    QTest::keyClick(f.RT, Qt::Key_Return);
    clearOfTheLists("a new line");

    // The rich text filter on a folder without rich text empties the list
    // and the pane.
    f.Combo1->setCurrentIndex(7);
    EXPECT_EQ(f.File1->listCount(), 0);
    EXPECT_TRUE(f.RT->toPlainText().isEmpty());
    clearOfTheLists("emptied");
}

} // namespace
} // namespace orbet::test
