#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QFile>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "navigation/FileListModel.h"
#include "navigation/FileRows.h"
#include "navigation/FolderProbe.h"
#include "platform/NativePath.h"

namespace orbet {
namespace {

// Names as the disk spells them: case variants, common beginnings, marks
// that sort between the letters, Japanese, and bytes that are not UTF-8.
const QList<QByteArray> kNames = {"a.jpg",
                                  "A.JPG",
                                  "ab.jpg",
                                  "B.jpg",
                                  "b.jpg",
                                  "_x.jpg",
                                  "Z.jpg",
                                  "[1].jpg",
                                  "a b.jpg",
                                  "a.jpeg",
                                  "\xc3\xa9t\xc3\xa9.jpg",
                                  "\xe6\x97\xa5\xe6\x9c\xac.jpg",
                                  "\x82\xa0\x82\xa2.jpg",
                                  "e.jpg",
                                  "E\xcc\x81.jpg",
                                  "readme.txt",
                                  ".hidden.jpg",
                                  "10.jpg",
                                  "9.jpg",
                                  "~.jpg"};

class FileRowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (const QByteArray& n : kNames)
            add(n);
        ::mkdir((native() + "/folder.jpg").constData(), 0755);
    }
    QByteArray native() const { return QFile::encodeName(dir_.path()); }
    void add(const QByteArray& name) {
        const int fd = ::open((native() + '/' + name).constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    void drop(const QByteArray& name) { ASSERT_EQ(::unlink((native() + '/' + name).constData()), 0); }
    FileRows rows(const QString& pattern = QStringLiteral("*.*")) {
        FileRows r{readFolder(dir_.path(), FolderReuse::Never), {}, pattern, {}};
        r.order = listRows(*r.snapshot, pattern, r.attributes);
        return r;
    }
    static QStringList names(const FileRows& r) {
        QStringList out;
        for (std::size_t i = 0; i < r.size(); ++i)
            out.append(r.name(i));
        return out;
    }
    static QStringList names(const QAbstractItemModel& m, int role) {
        QStringList out;
        for (int i = 0; i < m.rowCount(); ++i)
            out.append(m.index(i, 0).data(role).toString());
        return out;
    }

    QTemporaryDir dir_;
};

TEST_F(FileRowsTest, RowsAreOrderedAsTheEscapedNamesCompareIgnoringCase) {
    const FileRows r = rows();
    QStringList expected;
    for (const QByteArray& n : kNames)
        if (!n.startsWith('.')) expected.append(fromNative(n));
    std::sort(expected.begin(), expected.end(), lessIgnoringCase);
    EXPECT_EQ(names(r), expected);
    // Every pair agrees with the slow comparison, both ways.
    for (const QByteArray& a : kNames)
        for (const QByteArray& b : kNames)
            EXPECT_EQ(rawLessIgnoringCase(a.constData(), std::size_t(a.size()), b.constData(),
                                          std::size_t(b.size())),
                      lessIgnoringCase(fromNative(a), fromNative(b)))
                << a.toStdString() << " / " << b.toStdString();
}

TEST_F(FileRowsTest, PatternHiddenFilesAndFoldersDecideWhatIsListed) {
    EXPECT_EQ(rows(QStringLiteral("*.txt")).size(), 1u);
    EXPECT_EQ(rows(QStringLiteral("*.jpeg")).size(), 1u);
    const FileRows all = rows();
    EXPECT_EQ(all.size(), std::size_t(kNames.size() - 1)); // no hidden file, no folder
    EXPECT_TRUE(wouldList(*all.snapshot, "A.JPG", QStringLiteral("*.jpg"), {}));
    EXPECT_FALSE(wouldList(*all.snapshot, "readme.txt", QStringLiteral("*.jpg"), {}));
    EXPECT_FALSE(wouldList(*all.snapshot, ".hidden.jpg", QStringLiteral("*.jpg"), {}));
    EXPECT_TRUE(wouldList(*all.snapshot, ".hidden.jpg", QStringLiteral("*.jpg"), {true, true, false, true}));
    EXPECT_FALSE(wouldList(*all.snapshot, "folder.jpg", QStringLiteral("*.jpg"), {}));
    EXPECT_FALSE(wouldList(*all.snapshot, "absent.jpg", QStringLiteral("*.jpg"), {}));
}

TEST_F(FileRowsTest, StepsTurnTheOldRowsIntoTheNewAndLeaveTheRestInPlace) {
    const FileRows before = rows();
    EXPECT_TRUE(diffRows(before, rows()).empty()); // a new reading of the same names
    drop("a.jpg");
    drop("ab.jpg");
    drop("~.jpg");
    add("0.jpg");
    add("aa.jpg");
    add("zz.jpg");
    const FileRows after = rows();
    const std::vector<RowStep> steps = diffRows(before, after);
    QStringList list = names(before);
    for (const RowStep& s : steps) {
        if (s.insert)
            for (int k = 0; k < s.count; ++k)
                list.insert(s.row + k, after.name(std::size_t(s.from + k)));
        else
            list.remove(s.row, s.count);
    }
    EXPECT_EQ(list, names(after));
    // Neighbours come as one step: "a.jpg" and "A.JPG"'s neighbour "ab.jpg" are not adjacent, "aa" replaces
    // nothing.
    EXPECT_LE(steps.size(), 6u);
    EXPECT_TRUE(diffRows(after, after).empty());
}

TEST_F(FileRowsTest, TheModelShowsReadableNamesAndSignalsOnlyTheRowsThatChanged) {
    FileListModel model;
    model.reset(rows());
    const int count = model.rowCount();
    EXPECT_EQ(names(model, Qt::UserRole), names(model.rows()));
    const int bytes = int(names(model, Qt::UserRole).indexOf(fromNative("\x82\xa0\x82\xa2.jpg")));
    ASSERT_GE(bytes, 0);
    EXPECT_EQ(model.index(bytes, 0).data().toString(), displayName(fromNative("\x82\xa0\x82\xa2.jpg")));
    EXPECT_EQ(model.name(count), QString());

    int resets = 0, inserted = 0, removed = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
        inserted += last - first + 1;
        // Rows are readable while the steps run, from either reading.
        for (int i = 0; i < model.rowCount(); ++i)
            EXPECT_FALSE(model.name(i).isEmpty());
    });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) { removed += last - first + 1; });
    model.update(rows());
    EXPECT_EQ(resets + inserted + removed, 0);

    const int zRow = int(names(model, Qt::UserRole).indexOf(QStringLiteral("Z.jpg")));
    const QPersistentModelIndex z(model.index(zRow, 0)); // as a view's selection follows it
    drop("a.jpg");
    add("0.jpg");
    add("00.jpg");
    model.update(rows());
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(inserted, 2);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(z.row(), zRow + 1);
    EXPECT_EQ(z.data(Qt::UserRole).toString(), QStringLiteral("Z.jpg"));
    EXPECT_EQ(names(model, Qt::UserRole), names(rows()));

    FileListModel other;
    other.update(rows(QStringLiteral("*.txt"))); // nothing listed before: a reset
    EXPECT_EQ(names(other, Qt::UserRole), QStringList{QStringLiteral("readme.txt")});
}

// A view's current row on the last entry, which goes while two come in
// before it in one update: the current row moves to the entry before it and
// stays within the rows the model has at every step.
TEST_F(FileRowsTest, TheCurrentRowStaysInRangeWhenTheLastRowGoesAndOthersCome) {
    FileListModel model;
    model.reset(rows());
    QItemSelectionModel view(&model);
    const QStringList before = names(model, Qt::UserRole);
    view.setCurrentIndex(model.index(model.rowCount() - 1, 0), QItemSelectionModel::NoUpdate);
    int outOfRange = 0;
    QObject::connect(&view, &QItemSelectionModel::currentChanged, [&](const QModelIndex& current) {
        if (current.isValid() && (current.row() >= model.rowCount() || model.name(current.row()).isEmpty()))
            ++outOfRange;
    });
    drop(toNative(before.last()));
    add("0.jpg");
    add("00.jpg");
    model.update(rows());
    EXPECT_EQ(outOfRange, 0);
    EXPECT_EQ(model.rowCount(), before.size() + 1);
    ASSERT_TRUE(view.currentIndex().isValid());
    EXPECT_LT(view.currentIndex().row(), model.rowCount());
    EXPECT_EQ(view.currentIndex().data(Qt::UserRole).toString(), before[before.size() - 2]);
}

} // namespace
} // namespace orbet
