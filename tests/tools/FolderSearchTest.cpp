#include <algorithm>
#include <thread>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestSupport.h"
#include "tools/FolderSearch.h"
#include "tools/FolderWalk.h"
#include "tools/SearchLayout.h"
#include "tools/SearchModel.h"
#include "tools/SearchOrder.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace orbet {
namespace {

void makeTree(const QString& root, const QStringList& files, const QStringList& folders = {}) {
    for (const QString& f : folders)
        QDir(root).mkpath(f);
    for (const QString& f : files) {
        QDir(root).mkpath(QFileInfo(QDir(root).filePath(f)).path());
        test::writeAll(QDir(root).filePath(f), "x");
    }
}

// Walks synchronously into a store, as the window's worker would.
WalkSummary walk(SearchEntries& into, const QString& root, bool folders, bool files, bool subfolders,
                 std::function<void(const QByteArray&)> before = {}) {
    WalkOptions o;
    o.root = QFile::encodeName(root);
    o.folders = folders;
    o.files = files;
    o.subfolders = subfolders;
    o.batchEntries = 3; // many small batches, to exercise the parents across them
    o.beforeListing = std::move(before);
    std::atomic<bool> cancel{false};
    into.clear();
    return walkFolders(o, cancel, [&](SearchBatch&& b) { into.append(b); });
}

QStringList texts(const SearchEntries& e, const std::vector<std::uint32_t>& order) {
    QStringList out;
    for (std::uint32_t i : order)
        out << e.text(i);
    return out;
}

std::vector<std::uint32_t> byName(const SearchEntries& e) {
    std::atomic<bool> cancel{false};
    return orderByName(e, cancel);
}

TEST(FolderSearch, TwoFoldersWithOneFileEachInEveryOrder) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), {"a/1.txt", "b/2.txt"});
    const QString r = tmp.path() + u'/';
    SearchEntries e;
    const WalkSummary s = walk(e, r, true, true, true);
    EXPECT_EQ(s.unreadable, 0u);
    const auto name = byName(e);
    EXPECT_EQ(texts(e, name),
              (QStringList{r + "<D>", r + "a/<D>", r + "a/1.txt/<F>", r + "b/<D>", r + "b/2.txt/<F>"}));
    EXPECT_EQ(completionText(e.size(), e.folderCount(), e.fileCount()),
              QStringLiteral("検索完了 5のオブジェクト 内ディレクトリ3  ファイル2"));
    EXPECT_EQ(texts(e, orderFor(e, name, SearchSort::FilesFirst)),
              (QStringList{r + "a/1.txt/<F>", r + "b/2.txt/<F>", r + "<D>", r + "a/<D>", r + "b/<D>"}));
    EXPECT_EQ(texts(e, orderFor(e, name, SearchSort::FoldersFirst)),
              (QStringList{r + "<D>", r + "a/<D>", r + "b/<D>", r + "a/1.txt/<F>", r + "b/2.txt/<F>"}));
    // The walk itself is breadth-first: the root's entries before a's.
    EXPECT_EQ(e.text(0), r + "<D>");
    EXPECT_TRUE(e.text(3).endsWith("1.txt/<F>") || e.text(3).endsWith("2.txt/<F>"));
}

TEST(FolderSearch, FilesOnlyListsTheRootsFilesAndSubfoldersOffStaysInTheRoot) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), {"top.txt", "a/1.txt", "a/deep/2.txt"});
    const QString r = tmp.path() + u'/';
    SearchEntries e;
    walk(e, r, false, true, true);
    EXPECT_EQ(texts(e, byName(e)), (QStringList{r + "<D>", r + "top.txt/<F>"}));
    EXPECT_EQ(completionText(e.size(), e.folderCount(), e.fileCount()),
              QStringLiteral("検索完了 2のオブジェクト 内ディレクトリ1  ファイル1"));
    walk(e, r, true, true, false);
    EXPECT_EQ(texts(e, byName(e)), (QStringList{r + "<D>", r + "a/<D>", r + "top.txt/<F>"}));
    walk(e, r, true, false, true);
    EXPECT_EQ(texts(e, byName(e)), (QStringList{r + "<D>", r + "a/<D>", r + "a/deep/<D>"}));
}

// Names chosen to sit on both sides of the separator and of "<" in text order.
const QStringList kAwkward = {"a/x",   "a.b/y",     "a b/z",     "A2/q",           "-dash/1", "0zero/<in",
                              "ab/AB", "ab/aa.txt", "Z/z/z/z",   "z.txt",          "<x/1",    "_u/2",
                              "~t",    "a/0/1",     "a/b/c/d.e", "日本/テスト.txt"};

// The whole line compared ignoring case, with the separator and the marker
// below every character of a name.
bool lineBefore(const QString& x, const QString& y) {
    auto key = [](QString s) {
        s.chop(3);
        return s.toCaseFolded().replace(u'/', QChar(1));
    };
    return key(x) < key(y);
}

TEST(FolderSearch, NameOrderIsTheLineOrderIgnoringCase) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), kAwkward, {"empty", "a/emptier"});
    SearchEntries e;
    walk(e, tmp.path(), true, true, true);
    QStringList expected = texts(e, byName(e));
    std::sort(expected.begin(), expected.end(), lineBefore);
    EXPECT_EQ(texts(e, byName(e)), expected);
    EXPECT_EQ(texts(e, byName(e)).mid(0, 3),
              (QStringList{tmp.path() + "/<D>", tmp.path() + "/-dash/<D>", tmp.path() + "/-dash/1/<F>"}));
    EXPECT_EQ(e.size(), 35u);
}

// Letters fold to lower case at both ends of the alphabet, and only letters:
// "[" and "`" lie between the upper and the lower letters in byte order.
TEST(FolderSearch, NameOrderFoldsEveryLetterWhateverOrderTheNamesCameIn) {
    const QList<QByteArray> sorted = {"[x", "`q", "aa", "Ab", "Zy", "zz0"};
    QList<QByteArray> names = sorted;
    for (int turn = 0; turn < 2 * sorted.size(); ++turn) {
        if (turn == sorted.size()) std::reverse(names.begin(), names.end());
        names.append(names.takeFirst());
        SearchBatch batch;
        const auto add = [&](std::uint32_t parent, const QByteArray& name, EntryKind kind) {
            SearchRecord r;
            r.parent = parent;
            r.nameOffset = std::uint32_t(batch.names.size());
            r.nameLength = std::uint16_t(name.size());
            r.kind = kind;
            batch.names += name;
            batch.records.push_back(r);
        };
        add(kNoParent, "/r", EntryKind::Folder);
        for (const QByteArray& n : names)
            add(0, n, EntryKind::File);
        SearchEntries e;
        e.append(batch);
        QStringList lines;
        for (const QByteArray& n : sorted)
            lines << QStringLiteral("/r/") + QString::fromLatin1(n) + QStringLiteral("/<F>");
        EXPECT_EQ(texts(e, byName(e)), QStringList{QStringLiteral("/r/<D>")} + lines) << turn;
    }
}

TEST(FolderSearch, PrefixFindAgreesWithAScanOfTheLines) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), kAwkward);
    SearchEntries e;
    walk(e, tmp.path(), true, true, true);
    const auto name = byName(e);
    for (const auto& order :
         {std::vector<std::uint32_t>{}, name, orderFor(e, name, SearchSort::FilesFirst)}) {
        QStringList lines;
        for (std::uint32_t row = 0; row < e.size(); ++row)
            lines << e.text(order.empty() ? row : order[row]);
        QStringList prefixes = {"",
                                "/",
                                "nothing",
                                tmp.path() + "/A",
                                tmp.path() + "/a.",
                                tmp.path() + "/ab/a",
                                tmp.path() + "/Z/Z/",
                                tmp.path() + "/z/z/z/<",
                                tmp.path() + "/日本/テ",
                                tmp.path() + "/a/<D>x"};
        for (const QString& line : lines)
            prefixes << line << line.left(line.size() - 2) << line.toUpper();
        for (const QString& p : prefixes) {
            qint64 expected = -1;
            for (int i = 0; i < lines.size() && expected < 0; ++i)
                if (lines[i].startsWith(p, Qt::CaseInsensitive)) expected = i;
            EXPECT_EQ(findPrefix(e, order, p), expected) << p.toStdString();
        }
    }
}

TEST(FolderSearch, LinksToFoldersAreListedButNotFollowed) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), {"a/f.txt"});
    ASSERT_EQ(symlink("..", QFile::encodeName(tmp.path() + "/a/up").constData()), 0); // a loop
    ASSERT_EQ(symlink("a/f.txt", QFile::encodeName(tmp.path() + "/tofile").constData()), 0);
    ASSERT_EQ(symlink("missing", QFile::encodeName(tmp.path() + "/dangling").constData()), 0);
    const QString r = tmp.path() + u'/';
    SearchEntries e;
    const WalkSummary s = walk(e, r, true, true, true);
    EXPECT_FALSE(s.cancelled);
    EXPECT_EQ(texts(e, byName(e)), (QStringList{r + "<D>", r + "a/<D>", r + "a/f.txt/<F>", r + "a/up/<D>",
                                                r + "dangling/<F>", r + "tofile/<F>"}));

    // A link to a folder outside the searched root is listed, and what lies
    // behind it is not.
    QTemporaryDir outside;
    makeTree(outside.path(), {"far/away.txt"});
    ASSERT_EQ(symlink(QFile::encodeName(outside.path()).constData(),
                      QFile::encodeName(tmp.path() + "/a/out").constData()),
              0);
    walk(e, r, true, true, true);
    EXPECT_EQ(texts(e, byName(e)), (QStringList{r + "<D>", r + "a/<D>", r + "a/f.txt/<F>", r + "a/out/<D>",
                                                r + "a/up/<D>", r + "dangling/<F>", r + "tofile/<F>"}));
}

TEST(FolderSearch, FoldersThatCannotBeReadAreSkippedAndCounted) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), {"gone/1.txt", "gone/sub/2.txt", "kept/3.txt"});
    const QString r = tmp.path() + u'/';
    SearchEntries e;
    // A folder that vanishes between being found and being listed.
    WalkSummary s = walk(e, r, true, true, true, [&](const QByteArray& folder) {
        if (folder.endsWith("/gone/")) QDir(QFile::decodeName(folder)).removeRecursively();
    });
    EXPECT_EQ(s.unreadable, 1u);
    EXPECT_EQ(texts(e, byName(e)),
              (QStringList{r + "<D>", r + "gone/<D>", r + "kept/<D>", r + "kept/3.txt/<F>"}));
    EXPECT_EQ(completionText(e.size(), e.folderCount(), e.fileCount(), s.unreadable),
              QStringLiteral("検索完了 4のオブジェクト 内ディレクトリ3  ファイル1  読めないディレクトリ1"));

    if (geteuid() == 0) GTEST_SKIP() << "running as root, which reads a folder without permissions";
    makeTree(tmp.path(), {"locked/secret.txt"});
    chmod(QFile::encodeName(tmp.path() + "/locked").constData(), 0);
    s = walk(e, r, true, true, true);
    chmod(QFile::encodeName(tmp.path() + "/locked").constData(), 0700);
    EXPECT_EQ(s.unreadable, 1u);
    EXPECT_EQ(e.size(), 5u);
}

TEST(FolderSearch, OddNamesAndRoots) {
    QTemporaryDir tmp;
    const QByteArray base = QFile::encodeName(tmp.path());
    const QByteArray names[] = {"line\nbreak", "bad\xff\xfe", "\x83\x65\x83\x58\x83\x67"};
    for (const QByteArray& n : names)
        ::close(::open((base + '/' + n).constData(), O_CREAT | O_WRONLY, 0644));
    // The temporary folder cannot remove names that are not text itself.
    const auto cleanUp = qScopeGuard([&] {
        for (const QByteArray& n : names)
            ::unlink((base + '/' + n).constData());
    });
    SearchEntries e;
    walk(e, tmp.path(), true, true, true);
    ASSERT_EQ(e.size(), 4u);
    QStringList lines = texts(e, byName(e));
    const QString r = tmp.path() + u'/';
    EXPECT_EQ(lines,
              (QStringList{r + "<D>", r + "bad\\xFF\\xFE/<F>", r + "line\\x0Abreak/<F>", r + "テスト/<F>"}));
    // The bytes on disk are what the entry leads to.
    for (std::uint32_t i = 1; i < e.size(); ++i)
        EXPECT_EQ(::access(e.nativePath(i).constData(), F_OK), 0);

    // A root that is a file, or that does not exist, lists itself only.
    for (const QString& root : {r + "bad", tmp.path() + "/none/"}) {
        const WalkSummary s = walk(e, root, true, true, true);
        EXPECT_EQ(e.size(), 1u);
        EXPECT_EQ(s.unreadable, 1u);
    }
    EXPECT_EQ(e.text(0), tmp.path() + "/none/<D>");
    walk(e, QStringLiteral("/"), true, false, false);
    EXPECT_EQ(e.text(0), QStringLiteral("/<D>"));
    EXPECT_EQ(e.nativePath(0), QByteArray("/"));
    EXPECT_TRUE(e.text(1).startsWith(u'/') && !e.text(1).startsWith(QStringLiteral("//")));
}

// A tree big enough that the walk is still running when the test acts.
void makeWideTree(const QString& root, int folders, int filesEach) {
    for (int f = 0; f < folders; ++f) {
        const QString d = root + QStringLiteral("/d%1").arg(f);
        QDir().mkpath(d);
        for (int i = 0; i < filesEach; ++i)
            QFile(d + QStringLiteral("/f%1").arg(i)).open(QIODevice::WriteOnly);
    }
}

bool consistent(const SearchEntries& e) {
    for (std::uint32_t i = 0; i < e.size(); ++i) {
        const std::uint32_t p = e.record(i).parent;
        if ((i == 0) != (p == kNoParent)) return false;
        if (i > 0 && (p >= i || !e.isFolder(p))) return false;
    }
    return true;
}

TEST(FolderSearch, WorkerDeliversInBatchesAndCancelLeavesAConsistentPartialList) {
    QTemporaryDir tmp;
    makeWideTree(tmp.path(), 40, 20);
    SearchModel model;
    FolderSearch search;
    QObject::connect(&search, &FolderSearch::batchReady, &model, &SearchModel::append);
    QSignalSpy done(&search, &FolderSearch::walkFinished);
    WalkOptions o;
    o.root = QFile::encodeName(tmp.path());
    o.files = true;
    o.subfolders = true;
    o.batchEntries = 10;
    // Slow enough that the walk is under way when it is cancelled.
    o.beforeListing = [](const QByteArray&) { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    search.startWalk(o);
    QElapsedTimer t;
    t.start();
    while (model.rowCount() < 30 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_GE(model.rowCount(), 30);
    search.cancel();
    const int rows = model.rowCount();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(model.rowCount(), rows); // nothing arrives after the cancel
    EXPECT_TRUE(done.isEmpty());
    EXPECT_LT(rows, 841);
    EXPECT_TRUE(consistent(model.entries()));
    // The partial list sorts and finds like a whole one.
    std::atomic<bool> no{false};
    model.setNameOrder(orderByName(model.entries(), no), SearchSort::Name);
    EXPECT_EQ(model.text(0), tmp.path() + "/<D>");
    EXPECT_EQ(model.find(tmp.path() + "/D"), 1);

    // Started twice: the first walk's late batches are dropped, nothing is listed twice.
    o.beforeListing = {};
    model.clear();
    search.startWalk(o);
    model.clear();
    search.startWalk(o);
    ASSERT_TRUE(done.wait(10000));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(done.size(), 1);
    EXPECT_EQ(model.rowCount(), 1 + 40 + 40 * 20);
    EXPECT_EQ(done.first().first().value<WalkSummary>().entries, 841u);
    EXPECT_TRUE(consistent(model.entries()));
}

TEST(FolderSearch, ModelReordersWithoutANewSearchAndSortsOnTheWorker) {
    QTemporaryDir tmp;
    makeTree(tmp.path(), {"a/1.txt", "b/2.txt"});
    SearchEntries e;
    walk(e, tmp.path(), true, true, true);
    SearchModel model;
    SearchBatch all; // the store's entries handed over again as one batch
    for (std::uint32_t i = 0; i < e.size(); ++i) {
        SearchRecord r = e.record(i);
        r.nameOffset = std::uint32_t(all.names.size());
        all.names += e.name(i).toByteArray();
        all.records.push_back(r);
    }
    model.append(all);
    FolderSearch search;
    QSignalSpy sorted(&search, &FolderSearch::sorted);
    search.startSort(model.sharedEntries());
    ASSERT_TRUE(sorted.wait(5000));
    model.setNameOrder(*sorted.first().first().value<std::shared_ptr<std::vector<std::uint32_t>>>(),
                       SearchSort::Name);
    EXPECT_EQ(search.sortPercent(), 100);
    const QString r = tmp.path() + u'/';
    EXPECT_EQ(model.data(model.index(2)).toString(), r + "a/1.txt/<F>");
    model.showSorted(SearchSort::FoldersFirst);
    EXPECT_EQ(model.text(2), r + "b/<D>");
    EXPECT_EQ(model.find(r + "B/2"), 4);
    EXPECT_EQ(model.find(r + "c"), -1);
    EXPECT_EQ(model.nativePath(4), QFile::encodeName(r + "b/2.txt"));
    EXPECT_EQ(model.path(1), r + "a/");
}

TEST(FolderSearch, StatusTexts) {
    EXPECT_EQ(preparingText(), QStringLiteral("Format serch program..."));
    EXPECT_EQ(walkingText("/r/", "x.txt", false),
              QStringLiteral("directory//r/ 検索中... Find x.txt>file!!"));
    EXPECT_EQ(walkingText("/r/", "a", true), QStringLiteral("directory//r/ 検索中... Find a>directory!!"));
    EXPECT_EQ(nextFolderText(), QStringLiteral("Serch Next Directory......>"));
    EXPECT_EQ(sortingText(42), QStringLiteral("Serch file Sorted >42%"));
    EXPECT_EQ(completionText(7, 3, 4, 0, true),
              QStringLiteral("検索中止 7のオブジェクト 内ディレクトリ3  ファイル4"));
}

TEST(FolderSearch, LayoutKeepsTheMinimumAndGivesTheListTheRest) {
    const SearchLayout small = layoutSearchTool(5000, 6000);
    EXPECT_TRUE(small.resizeFirst);
    EXPECT_EQ(small.width, 5700);
    EXPECT_EQ(small.height, 6000);
    EXPECT_EQ(layoutSearchTool(6000, 4000).height, 4500);
    for (int w : {5700, 9000}) {
        const SearchLayout l = layoutSearchTool(w, 8000);
        EXPECT_FALSE(l.resizeFirst);
        EXPECT_EQ(l.mes.width, w - 3 * l.mes.left);
        EXPECT_EQ(l.text1.top, l.list1.top + l.list1.height + 60);
        EXPECT_EQ(l.command2.top, l.text1.top);
        EXPECT_EQ(l.list1.top + l.list1.height + 60 + l.command2.height + 500, 8000 + 60);
        EXPECT_EQ(l.list1.width, l.label3.width);
        EXPECT_EQ(l.command3.left + l.command3.width, l.list1.left + l.list1.width);
        EXPECT_GT(l.text1.width, 0);
    }
    EXPECT_EQ(layoutSearchTool(9000, 8000).text1.width - layoutSearchTool(5700, 8000).text1.width, 3300);

    // The texts' needs widen the bottom row's label and choice and heighten
    // the status line; needs below the layout's own sizes change nothing.
    const SearchLayout own = layoutSearchTool(9000, 8000, {100, 100, 100});
    EXPECT_EQ(own.label3.height, 270);
    EXPECT_EQ(own.label2.width, 600);
    EXPECT_EQ(own.combo1.width, 1800);
    const SearchLayout wide = layoutSearchTool(9000, 8000, {400, 700, 2500});
    EXPECT_EQ(wide.label3.height, 400);
    EXPECT_EQ(wide.list1.top, own.list1.top + 130);
    EXPECT_EQ(wide.combo1.width, 2500);
    EXPECT_EQ(wide.combo1.left + wide.combo1.width + 60, wide.command2.left);
    EXPECT_EQ(wide.label2.width, 700);
    EXPECT_EQ(wide.label2.left + 700 + 60, wide.combo1.left);
    EXPECT_EQ(wide.label2.height, 400);
    EXPECT_EQ(wide.text1.left + wide.text1.width + 60, wide.label2.left);
}

} // namespace
} // namespace orbet
