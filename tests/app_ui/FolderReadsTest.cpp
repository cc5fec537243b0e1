#include <fcntl.h>
#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "Form1Fixture.h"
#include "app/ui/Startup.h"
#include "navigation/FolderSnapshot.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

// A folder last changed an hour ago, as a folder a user starts on is.
void ageFolder(const QString& path) {
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec - 3600, st.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

TEST_F(Form1Test, StartReadsTheFolderOnceAndFiltersChangeWithoutReading) {
    const QDir dir(data_.path());
    for (const char* n : {"a.jpg", "b.bmp", "c.txt", ".d.jpg"})
        ASSERT_TRUE(writeAll(dir.filePath(QString::fromLatin1(n)), "x"));
    ASSERT_TRUE(dir.mkdir(QStringLiteral("sub")));
    ageFolder(data_.path());
    const QString folder = QDir::cleanPath(data_.path());
    int reads = 0;
    setFolderReadObserver([&](const QString& f) { reads += f == folder ? 1 : 0; });

    writeIni("LastFilter=0\r\n");
    Form1& f = start(folder);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(f.File1->listCount(), 2);

    f.Combo1->setCurrentIndex(6); // text files
    EXPECT_EQ(f.File1->entry(0), QStringLiteral("c.txt"));
    f.action(Command::Hiddemset)->trigger();
    f.Combo1->setCurrentIndex(0);
    EXPECT_EQ(f.File1->listCount(), 3); // the hidden picture joins
    f.File1->setListIndex(1);
    f.startup().Timer1_Timer(); // reopens the folder it is on
    QCoreApplication::processEvents();
    EXPECT_EQ(reads, 1);

    // The refresh command reads afresh, and a change on disk is seen.
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("e.gif")), "x"));
    f.Combo1->setCurrentIndex(2); // GIF files
    EXPECT_EQ(f.File1->entry(0), QStringLiteral("e.gif"));
    const int before = reads;
    f.action(Command::ReViewS)->trigger();
    EXPECT_GT(reads, before);
    setFolderReadObserver(nullptr);
}

} // namespace
} // namespace orbet::test
