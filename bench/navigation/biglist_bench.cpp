// Folders of a hundred thousand and a million pictures, every one listed,
// in the real main window (offscreen), set beside `ls -1 | sort` of the same
// folder in alternating runs:
//  - the list complete, from the command that opens the folder;
//  - a step with the Down key in a folder of 100,000 and in one of 100;
//  - the longest stall of the event loop while a folder of 1,000,000 opens,
//    and the memory per entry beyond an empty folder.
//
//   QT_QPA_PLATFORM=offscreen build/bench/navigation/bench_biglist [work-folder [large-count]]
//
// Making a million files takes minutes here: ORBET_BENCH_HUGE names a folder
// of them to reuse (made there when missing), and ORBET_BENCH_HUGE_ONLY=1
// measures that folder alone.

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
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

void makePictures(const QString& folder, int count) {
    QDir().mkpath(folder);
    const QByteArray base = QFile::encodeName(folder) + '/';
    for (int i = 0; i < count; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "IMG_%07d.jpg", (i * 7919) % count); // not in creation order
        const int fd = ::open((base + name).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) ::close(fd);
    }
}

// The longest gap between two turns of the event loop while `busy` holds.
class StallMeter {
  public:
    StallMeter() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double now = double(clock_.nsecsElapsed()) / 1e6;
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    void start() {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        timer_.start();
    }
    double stop() {
        timer_.stop();
        return std::max(longest_, double(clock_.nsecsElapsed()) / 1e6 - last_);
    }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0, longest_ = 0;
};

bool waitListed(orbet::Form1& form, int seconds) {
    QElapsedTimer t;
    t.start();
    while (form.File1->isListing() && t.elapsed() < seconds * 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return !form.File1->isListing();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    const int largeCount = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000000;
    QTemporaryDir work(base + QStringLiteral("/orbet-biglist-XXXXXX"));
    const QString big = work.filePath(QStringLiteral("big")), small = work.filePath(QStringLiteral("small")),
                  empty = work.filePath(QStringLiteral("empty"));
    const QString huge = qEnvironmentVariableIsEmpty("ORBET_BENCH_HUGE")
                             ? work.filePath(QStringLiteral("huge"))
                             : qEnvironmentVariable("ORBET_BENCH_HUGE");
    const bool hugeOnly = qEnvironmentVariableIntValue("ORBET_BENCH_HUGE_ONLY") == 1;
    std::printf("preparing 100000, 100 and %d pictures in %s\n", largeCount, qPrintable(work.path()));
    std::fflush(stdout);
    if (!hugeOnly) {
        makePictures(big, 100000);
        makePictures(small, 100);
    }
    QDir().mkpath(empty);

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    form.Timer1->stop();
    form.resize(1200, 900);
    form.Combo1->setCurrentIndex(0);
    app.processEvents();

    const int runs = 5;
    if (!hugeOnly) {
        std::vector<double> open, sorted;
        for (int r = 0; r < runs; ++r) {
            sorted.push_back(shellMs(QStringLiteral("ls -1 ") + big + QStringLiteral(" | sort")));
            form.navigator().OpenFolder(empty);
            QElapsedTimer t;
            t.start();
            form.navigator().OpenFolder(big);
            if (!waitListed(form, 60)) return std::printf("the list never completed\n"), 1;
            open.push_back(double(t.nsecsElapsed()) / 1e6);
            if (form.File1->listCount() != 100000 || form.File1->listIndex() != 0)
                return std::printf("wrong listing: %d entries\n", form.File1->listCount()), 1;
        }
        std::printf(
            "100000 pictures, the whole list: median %.1f ms; ls -1 | sort: median %.1f ms; ratio %.2f\n",
            median(open), median(sorted), median(open) / median(sorted));

        // Each step shows the file, as the user sees it; the files are alike in
        // both folders, so the difference is the list's own.
        auto steps = [&](const QString& folder) {
            form.navigator().OpenFolder(folder);
            waitListed(form, 60);
            form.File1->setListIndex(form.File1->listCount() / 2 - 25);
            form.File1->setFocus();
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < 40; ++i) {
                QTest::keyClick(form.File1, Qt::Key_Down);
                app.processEvents();
            }
            return double(t.nsecsElapsed()) / 1e6 / 40;
        };
        std::vector<double> bigStep, smallStep;
        for (int r = 0; r < runs; ++r) {
            smallStep.push_back(steps(small));
            bigStep.push_back(steps(big));
        }
        std::printf("a Down step: 100000 pictures %.3f ms, 100 pictures %.3f ms; ratio %.2f\n",
                    median(bigStep), median(smallStep), median(bigStep) / median(smallStep));
        std::fflush(stdout);
    }
    if (largeCount <= 0) return 0;
    if (!QDir(huge).exists()) makePictures(huge, largeCount);
    form.navigator().OpenFolder(empty);
    app.processEvents();
    const long before = rssKb();
    StallMeter stall;
    QElapsedTimer t;
    stall.start();
    t.start();
    // As a click on the tree opens it: the event that opens it is one turn.
    QTimer::singleShot(0, &form, [&] { form.navigator().OpenFolder(huge); });
    app.processEvents();
    if (!waitListed(form, 300)) return std::printf("the list never completed\n"), 1;
    // The view lays the rows out a slice per turn after the hand-over.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        app.processEvents(QEventLoop::AllEvents, 5);
    const double longest = stall.stop();
    const double whole = double(t.nsecsElapsed()) / 1e6;
    const long after = rssKb();
    std::printf("%d pictures: listed in %.0f ms (ls -1 | sort: %.0f ms), longest event-loop stall %.1f ms, "
                "%.0f bytes per entry beyond an empty folder\n",
                form.File1->listCount(), whole,
                shellMs(QStringLiteral("ls -1 ") + huge + QStringLiteral(" | sort")), longest,
                double(after - before) * 1024.0 / double(largeCount));
    return 0;
}
