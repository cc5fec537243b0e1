#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextEdit>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
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
        return *form_;
    }
};

TEST_F(TextPaneTest, PlainTextInEveryEncodingReadsTheSame) {
    const char* same[] = {"text/plain/chardet_SHIFT_JIS__ude_2.txt", "text/plain/chardet_EUC-JP__ude_1.txt",
                          "text/plain/chardet_iso-2022-jp__ude_1.txt", "text/plain/chardet_utf-8-sig__ude_4.txt"};
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
    EXPECT_GT(h.RT->document()->blockCount(), 700);
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
    g.action("rtfsa")->trigger();
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
    QFile::copy(testData(QStringLiteral("pictures/wmf/drawing.emf")), QDir(data_.path()).filePath("renamed.wmf"));
    form_->navigator().OpenFolder(data_.path());
    form_->Combo1->setCurrentIndex(5);
    EXPECT_TRUE(form_->MP->isEmpty());
}

TEST_F(TextPaneTest, HugeSingleLinesStillLoad) {
    writeAll(QDir(data_.path()).filePath("one-line.txt"), QByteArray(600 * 1024, 'q'));
    form_->navigator().OpenFolder(data_.path());
    form_->Combo1->setCurrentIndex(6);
    EXPECT_EQ(form_->RT->toPlainText().size(), 600 * 1024);
    EXPECT_EQ(form_->RT->lineWrapMode(), QTextEdit::NoWrap);
}

}  // namespace
}  // namespace orbet::test
