#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "navigation/FileListing.h"
#include "navigation/FolderProbe.h"
#include "navigation/FolderSnapshot.h"

namespace orbet {
namespace {

void touch(const QDir& dir, const QString& name) {
    QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
}

// A folder last changed an hour ago: a reading of it can be trusted later.
void ageFolder(const QString& path) {
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec - 3600, st.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

class ReadCounter {
  public:
    explicit ReadCounter(const QString& folder) : folder_(QDir::cleanPath(folder)) {
        setFolderReadObserver([this](const QString& f) { reads_ += f == folder_ ? 1 : 0; });
    }
    ~ReadCounter() { setFolderReadObserver(nullptr); }
    int reads() const { return reads_; }

  private:
    QString folder_;
    int reads_ = 0;
};

TEST(FolderSnapshot, OneReadServesListingsProbesAndSubfoldersUntilTheFolderChanges) {
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    for (const char* n : {"b.JPG", "a.txt", ".h.jpg"})
        touch(dir, QString::fromLatin1(n));
    dir.mkdir(QStringLiteral("sub"));
    ageFolder(tmp.path());
    ReadCounter counter(tmp.path());

    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.jpg"), {}), QStringList{"b.JPG"});
    AttributeFilter hidden;
    hidden.hidden = true;
    EXPECT_EQ(listFiles(tmp.path() + u'/', QStringLiteral("*.*"), hidden),
              (QStringList{".h.jpg", "a.txt", "b.JPG"}));
    EXPECT_TRUE(hasSubfolder(tmp.path(), false));
    EXPECT_EQ(subfolderPaths(tmp.path()), QStringList{tmp.path() + QStringLiteral("/sub")});
    EXPECT_EQ(counter.reads(), 1);

    // A change on disk is seen at the next question, by one new reading.
    touch(dir, QStringLiteral("c.jpg"));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.jpg"), {}), (QStringList{"b.JPG", "c.jpg"}));
    EXPECT_EQ(counter.reads(), 2);
    // A folder changed moments before it was read is never taken on trust:
    // a second change within the same clock tick would go unseen.
    touch(dir, QStringLiteral("d.jpg"));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.jpg"), {}).size(), 3);
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.jpg"), {}).size(), 3);
    EXPECT_EQ(counter.reads(), 4);

    ageFolder(tmp.path());
    readFolder(tmp.path(), FolderReuse::Never);
    readFolder(tmp.path(), FolderReuse::Unchanged);
    EXPECT_EQ(counter.reads(), 5);
}

TEST(FolderSnapshot, ProbeThatReadsToTheEndKeepsTheReadingAndFailuresSayWhy) {
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    touch(dir, QStringLiteral("only.txt"));
    ageFolder(tmp.path());
    ReadCounter counter(tmp.path());
    EXPECT_FALSE(hasSubfolder(tmp.path(), true));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.txt"), {}), QStringList{"only.txt"});
    EXPECT_EQ(counter.reads(), 1);

    FolderStatus status = FolderStatus::Ok;
    EXPECT_EQ(readFolder(tmp.path() + QStringLiteral("/gone"), FolderReuse::Unchanged, &status), nullptr);
    EXPECT_EQ(status, FolderStatus::NotFound);
    EXPECT_EQ(readFolder(tmp.filePath(QStringLiteral("only.txt")), FolderReuse::Unchanged, &status), nullptr);
    EXPECT_EQ(status, FolderStatus::NotFound);
}

TEST(FilePattern, NamesAsBytesMatchAsTheirText) {
    const QStringList patterns = {builtInFilterPattern(0), QStringLiteral("*.txt;*."), QStringLiteral("*.Ä"),
                                  QStringLiteral("a?c.*"), QStringLiteral("*.*")};
    const QStringList names = {"x.JPG", "x.jpeg", "y.jpg.bak", "noext", "a.b.txt", "abc.q",
                               "Z.ä",   "Ω.bmp",  "ünï.WMF",   ".jpg",  "jpg"};
    for (const QString& p : patterns) {
        const FilePattern pattern(p);
        for (const QString& n : names) {
            const QByteArray bytes = QFile::encodeName(n);
            EXPECT_EQ(pattern.matches(bytes.constData(), std::size_t(bytes.size())), pattern.matches(n))
                << p.toStdString() << " " << n.toStdString();
        }
    }
    // A few answers spelled out, so a wrong text match cannot pass both ways.
    const FilePattern pictures(builtInFilterPattern(0));
    EXPECT_TRUE(pictures.matches("x.JPG", 5));
    EXPECT_FALSE(pictures.matches("y.jpg.bak", 9));
    EXPECT_TRUE(
        FilePattern(QStringLiteral("*.Ä")).matches(QFile::encodeName(QStringLiteral("Z.ä")).constData(), 4));
}

} // namespace
} // namespace orbet
