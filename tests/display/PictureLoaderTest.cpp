#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "display/PictureLoader.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

// The loader names the format from a file's first bytes instead of letting
// the toolkit ask every image plug-in; on the real files of every kind the
// name must be the one the toolkit's own search finds, for the kinds the
// loader takes, and nothing for the rest.
TEST(PictureLoader, TheFormatFromTheFirstBytesIsTheOneTheToolkitFinds) {
    int checked = 0;
    QDirIterator it(test::testData(QStringLiteral("pictures")), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray ours = pictureFormatOf(file.peek(16));
        QImageReader reader(&file);
        reader.setDecideFormatFromContent(true);
        QByteArray theirs = reader.format().toLower();
        if (theirs == "jpg") theirs = "jpeg";
        const bool taken = theirs == "jpeg" || theirs == "png" || theirs == "bmp" || theirs == "gif" || theirs == "ico";
        if (taken)
            EXPECT_EQ(ours, theirs) << path.toStdString();
        else
            EXPECT_TRUE(ours.isEmpty() || !reader.canRead()) << path.toStdString() << " " << ours.constData();
        ++checked;
    }
    EXPECT_GT(checked, 40);
    EXPECT_EQ(pictureFormatOf(QByteArray("\0\0\2\0\1\0", 6)), QByteArray("ico"));  // a cursor
    EXPECT_EQ(pictureFormatOf(QByteArray("\0\0\1\0\1\0", 6)), QByteArray("ico"));
    EXPECT_TRUE(pictureFormatOf(QByteArray("\0\0\3\0\1\0", 6)).isEmpty());
    EXPECT_TRUE(pictureFormatOf(QByteArray("\0\0\1\0\0\0", 6)).isEmpty());  // no image in it
}

TEST(PictureLoader, TheProgramsOwnPictureReadsByItsContent) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    const QString path = dir.filePath(QStringLiteral("ti.tex"));  // a name that says nothing of the format
    ASSERT_TRUE(picture.save(path, "png"));
    EXPECT_EQ(loadProgramPicture(path).convertToFormat(QImage::Format_RGB32), picture);
    ASSERT_TRUE(test::writeAll(path, "not a picture"));
    EXPECT_TRUE(loadProgramPicture(path).isNull());
    EXPECT_TRUE(loadProgramPicture(dir.filePath(QStringLiteral("missing"))).isNull());
}

}  // namespace
}  // namespace orbet
