// Opening a huge folder and a node with many subfolders, measured inside the
// real main window (offscreen) and set beside the shell tools that do the same
// listing, alternating runs so both see the same machine.
//
//   QT_QPA_PLATFORM=offscreen build/bench/navigation/bench_navigation [work-folder]

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/ListControls.h"
#include "platform/ScriptedPrompter.h"

namespace {

long rssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

double shellMs(const QString& command) {
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command + QStringLiteral(" > /dev/null")});
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void makeFiles(const QString& folder, int total, int matching) {
    QDir().mkpath(folder);
    for (int i = 0; i < total; ++i) {
        const QString name =
            i < matching ? QStringLiteral("photo%1.jpg").arg(i) : QStringLiteral("data%1.dat").arg(i);
        QFile(folder + u'/' + name).open(QIODevice::WriteOnly);
    }
}

void makeTree(const QString& folder, int count) {
    for (int i = 0; i < count; ++i)
        QDir().mkpath(QStringLiteral("%1/dir%2/inner").arg(folder).arg(i));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir work(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/orbet-bench-XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/orbet-bench-XXXXXX"));
    const QString files = work.filePath(QStringLiteral("files"));
    const QString tree = work.filePath(QStringLiteral("tree"));
    std::printf("preparing 100000 files and 10000 folders in %s\n", qPrintable(work.path()));
    makeFiles(files, 100000, 1000);
    makeTree(tree, 10000);

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    form.Timer1->stop();
    app.processEvents();
    const long idleKb = rssKb();

    const int runs = 5;
    std::vector<double> open, ls, expand, find;
    long peakKb = idleKb;
    for (int r = 0; r < runs; ++r) {
        ls.push_back(shellMs(QStringLiteral("ls -1 ") + files));
        form.navigator().OpenFolder(work.path());
        QElapsedTimer t;
        t.start();
        form.navigator().OpenFolder(files);
        open.push_back(double(t.nsecsElapsed()) / 1e6);
        peakKb = std::max(peakKb, rssKb());
        if (form.File1->listCount() != 1000 || form.File1->listIndex() != 0) {
            std::printf("wrong listing: %d entries, selected %d\n", form.File1->listCount(),
                        form.File1->listIndex());
            return 1;
        }

        find.push_back(
            shellMs(QStringLiteral("find ") + tree + QStringLiteral(" -mindepth 1 -maxdepth 2 -type d")));
        form.navigator().OpenTreePath(work.path());
        if (QTreeWidgetItem* parent = form.navigator().tree().findKey(work.path())) parent->setExpanded(true);
        QTreeWidgetItem* node = form.navigator().tree().findKey(tree);
        if (!node) {
            std::printf("the tree has no node for %s\n", qPrintable(tree));
            return 1;
        }
        node->setExpanded(false);
        t.restart();
        node->setExpanded(true);
        expand.push_back(double(t.nsecsElapsed()) / 1e6);
        // A large node gets the rest of its children a slice per turn.
        while (node->childCount() < 10000 && t.elapsed() < 60000)
            QApplication::processEvents();
        if (node->childCount() != 10000 || node->child(0)->childCount() != 1) {
            std::printf("wrong tree: %d children\n", node->childCount());
            return 1;
        }
        node->setExpanded(false);
    }
    std::printf(
        "open folder of 100000 files (1000 shown): median %.1f ms; ls -1: median %.1f ms; ratio %.2f\n",
        median(open), median(ls), median(open) / median(ls));
    std::printf("open node of 10000 folders: median %.1f ms; find: median %.1f ms; ratio %.2f\n",
                median(expand), median(find), median(expand) / median(find));
    std::printf("memory above the idle window: %.1f MB (idle %.1f MB)\n", double(peakKb - idleKb) / 1024.0,
                double(idleKb) / 1024.0);
    std::printf("longest single step on the window's thread: %.1f ms\n",
                std::max(*std::max_element(open.begin(), open.end()),
                         *std::max_element(expand.begin(), expand.end())));
    return 0;
}
