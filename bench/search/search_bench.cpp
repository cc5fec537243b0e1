// The folder search tool over a generated tree, searched through the real
// window (offscreen: both, subfolders on, order by name), set beside
// `find DIR -mindepth 1 | sort` on the same tree, alternating runs so both
// see the same machine. Also the time to the first listed entries and the
// memory the results take.
//
//   QT_QPA_PLATFORM=offscreen build/bench/search/bench_search [entries | existing-folder] [rounds]

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "tools/SearchModel.h"
#include "tools/ui/HideForm.h"

namespace {

long statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Folders three levels deep, ten wide, the files spread over the deepest
// ones: `entries` entries below the root in all.
int makeTree(const QString& root, int entries) {
    const int leaves = 1000;
    const int files = std::max(0, entries - 1110);
    int made = 0;
    for (int leaf = 0; leaf < leaves; ++leaf) {
        const QString dir =
            root +
            QStringLiteral("/dir_%1/sub_%2/leaf_%3").arg(leaf / 100).arg(leaf / 10 % 10).arg(leaf % 10);
        QDir().mkpath(dir);
        const int here = files / leaves + (leaf < files % leaves ? 1 : 0);
        for (int f = 0; f < here; ++f, ++made)
            QFile(dir + QStringLiteral("/file_%1.dat").arg(f, 5, 10, QLatin1Char('0')))
                .open(QIODevice::WriteOnly);
    }
    return made + 1110;
}

struct Run {
    double totalMs = 0;
    double firstMs = -1;
    int rows = 0;
};

Run searchOnce(orbet::HideForm& form) {
    Run run;
    QElapsedTimer t;
    bool ended = false;
    auto first = QObject::connect(form.model(), &QAbstractItemModel::rowsInserted, &form, [&] {
        if (run.firstMs < 0) run.firstMs = double(t.nsecsElapsed()) / 1e6;
    });
    auto end = QObject::connect(&form, &orbet::HideForm::searchEnded, &form, [&] { ended = true; });
    t.start();
    form.Command1->click();
    while (!ended)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    run.totalMs = double(t.nsecsElapsed()) / 1e6;
    run.rows = form.model()->rowCount();
    QObject::disconnect(first);
    QObject::disconnect(end);
    return run;
}

double shellMs(const QString& command) {
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command + QStringLiteral(" > /dev/null")});
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString given = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir tmp;
    // A folder given is searched as it is, so a tree can be made once and measured often.
    const QString root = QFileInfo(given).isDir() ? given : tmp.path();
    if (root == tmp.path()) {
        const int entries = makeTree(tmp.path(), given.isEmpty() ? 100000 : given.toInt());
        std::printf("tree: %d entries below the root in %s\n", entries, qPrintable(tmp.path()));
    }

    orbet::ScriptedPrompter prompter;
    orbet::ProgramState state;
    auto* form = new orbet::HideForm(prompter, state, {});
    form->show();
    form->setFolder(root);
    form->Option3->click();
    form->Check1->click();
    form->Option4->click();
    QApplication::processEvents();
    const long idleKb = statusKb("VmRSS:");
    const long idlePeakKb = statusKb("VmHWM:");

    // The first search also warms the cache for both sides.
    const Run warm = searchOnce(*form);
    const long afterKb = statusKb("VmRSS:");
    const long afterPeakKb = statusKb("VmHWM:");
    shellMs(QStringLiteral("find %1 -mindepth 1 | sort").arg(root));

    std::vector<double> ours, theirs, ratio, first;
    for (int i = 0; i < rounds; ++i) {
        const Run r = searchOnce(*form);
        const double f = shellMs(QStringLiteral("find %1 -mindepth 1 | sort").arg(root));
        ours.push_back(r.totalMs);
        theirs.push_back(f);
        ratio.push_back(r.totalMs / f);
        first.push_back(r.firstMs);
    }
    std::printf("listed rows: %d\n", warm.rows);
    std::printf("search tool (window, both, subfolders, by name): median %.1f ms\n", median(ours));
    std::printf("find DIR -mindepth 1 | sort:                      median %.1f ms\n", median(theirs));
    std::printf("ratio tool / find|sort, pair by pair: median %.2f (min %.2f, max %.2f)\n", median(ratio),
                *std::min_element(ratio.begin(), ratio.end()), *std::max_element(ratio.begin(), ratio.end()));
    std::printf("first entries listed after: median %.1f ms (max %.1f)\n", median(first),
                *std::max_element(first.begin(), first.end()));
    std::printf(
        "memory beyond the idle window: %.1f bytes per entry resident (%ld kB), peak %.1f bytes per entry\n",
        double(afterKb - idleKb) * 1024.0 / warm.rows, afterKb - idleKb,
        double(afterPeakKb - idlePeakKb) * 1024.0 / warm.rows);
    std::printf("held by the result store: %.1f bytes per entry\n",
                double(form->model()->bytesUsed()) / warm.rows);
    delete form;
    return 0;
}
