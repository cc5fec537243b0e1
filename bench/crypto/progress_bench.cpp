// What moving long work off the window's thread costs and gains: a
// protection of a file and a copy of a folder of small files, each run
//   today:  on the window's thread as the program used to, under a progress
//           dialog that runs the window's events between steps;
//   worker: on a worker thread under the program's progress dialog
//           (QtPrompter), the window's thread idle in its event loop;
// alternately in one run, so the ratio is read side by side on a shared
// machine. Then the time from a click on 中止 (posted to the button, as the
// window system would deliver it) to the end of the work, both ways.
//   bench_progress [ROUNDS] [SIZE_MB] [FILES] [FOLDER]   (6 300 2000 ./progress-bench-data)
// FOLDER defaults to a new folder in the current one (the disk of the work).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "crypto/BinAngsDL.h"
#include "platform/AtomicWrite.h"
#include "platform/ProgramState.h"
#include "platform/ui/QtPrompter.h"
#include "tools/FileCommands.h"
#include "tools/FileOperations.h"

namespace {

using Clock = std::chrono::steady_clock;

// The progress as the program had it before its work moved to workers: the
// dialog is made past half a second, and every step lets the window's events
// run (all of them once the dialog is up, else all but the user's), at most
// every 40 ms; the protection also ran the events after every block.
class TodayProgress : public orbet::Progress {
  public:
    explicit TodayProgress(QWidget* parent) : parent_(parent) {}
    void begin(const QString& title, const QString& text, qint64 total) override {
        total_ = total;
        shift_ = 0;
        while ((total_ >> shift_) > INT_MAX)
            ++shift_;
        title_ = title;
        text_ = text;
        sinceBegin_.start();
        sinceUpdate_.start();
    }
    bool advance(qint64 done, const QString& text) override {
        if (pumpEveryStep) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (stopped_) return false;
        if (!text.isEmpty()) text_ = text;
        stopped_ = dialog && dialog->wasCanceled();
        if (stopped_ || sinceUpdate_.elapsed() < 40) return !stopped_;
        sinceUpdate_.restart();
        if (!dialog && sinceBegin_.elapsed() >= 500) {
            dialog = std::make_unique<QProgressDialog>(text_, QStringLiteral("中止"), 0,
                                                       int(total_ >> shift_), parent_);
            dialog->setWindowTitle(title_);
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setAutoClose(false);
            dialog->setAutoReset(false);
            dialog->setMinimumDuration(0);
            dialog->show();
        }
        if (dialog) {
            if (text_ != dialog->labelText()) dialog->setLabelText(text_);
            dialog->setValue(int(std::min(done, total_) >> shift_));
        }
        QCoreApplication::processEvents(dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        stopped_ = dialog && dialog->wasCanceled();
        return !stopped_;
    }
    void end() override { dialog.reset(); }

    bool pumpEveryStep = false;
    std::unique_ptr<QProgressDialog> dialog;

  private:
    QWidget* parent_;
    QElapsedTimer sinceBegin_, sinceUpdate_;
    QString title_, text_;
    qint64 total_ = 0;
    int shift_ = 0;
    bool stopped_ = false;
};

// Answers every question without a window; runs long work either way.
class BenchPrompter : public orbet::QtPrompter {
  public:
    BenchPrompter(QWidget* window, bool today) : QtPrompter(window), window_(window), today_(today) {}
    orbet::Answer message(const QString& text, const QString&, orbet::Buttons buttons, orbet::Icon,
                          std::optional<orbet::Answer>) override {
        if (buttons != orbet::Buttons::Ok) return orbet::Answer::Yes;
        if (text.contains(QStringLiteral("できませんでした"))) std::fprintf(stderr, "%s\n", qPrintable(text));
        return orbet::Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return destination;
    }
    void runLongWork(Work work, std::function<void()> finished) override {
        const auto timed = [this, work = std::move(work)](orbet::Progress& p) {
            work(p);
            workEnded = Clock::now();
        };
        if (!today_) return QtPrompter::runLongWork(timed, std::move(finished));
        TodayProgress progress(window_);
        progress.pumpEveryStep = pumpEveryStep;
        today = &progress;
        timed(progress);
        today = nullptr;
        if (finished) finished();
    }

    QString destination;
    bool pumpEveryStep = false;
    TodayProgress* today = nullptr;
    Clock::time_point workEnded;

  private:
    QWidget* window_;
    bool today_;
};

// Runs a command and then the window's events until `done`.
double seconds(const std::function<void()>& command, const bool& done) {
    const auto start = Clock::now();
    command();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QProgressDialog* shownDialog(QWidget& window, BenchPrompter& prompter) {
    QProgressDialog* d = prompter.today ? prompter.today->dialog.get() : window.findChild<QProgressDialog*>();
    return d && d->isVisible() ? d : nullptr;
}

// A press and a release on the dialog's button, queued as the window
// system queues a click.
void postClick(QProgressDialog* dialog) {
    QPushButton* button = dialog->findChild<QPushButton*>();
    if (!button) return;
    const QPointF at = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(at);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? args[1].toInt() : 6;
    const qint64 megabytes = args.size() > 2 ? args[2].toLongLong() : 300;
    const int files = args.size() > 3 ? args[3].toInt() : 2000;
    const QString folder =
        args.size() > 4 ? args[4] : QDir::current().filePath(QStringLiteral("progress-bench-data"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/tree"));

    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char(i * 131 % 251);
    {
        orbet::AtomicWriter out(folder + QStringLiteral("/input"));
        bool ok = out.open();
        for (qint64 m = 0; ok && m < megabytes; ++m)
            ok = out.write(block);
        if (!ok || !out.commit()) return 1;
    }
    for (int i = 0; i < files; ++i)
        orbet::writeFileAtomically(folder + QStringLiteral("/tree/f%1").arg(i), block.left(200 + i % 3000));

    QWidget window;
    window.resize(800, 600);
    window.show();
    orbet::ProgramState state;
    const QString input = folder + QStringLiteral("/input");
    const QString target = folder + QStringLiteral("/input.ang");
    std::vector<double> protect[2], copy[2], stopWork[2], stopReport[2];
    for (int round = 0; round < rounds; ++round) {
        for (const bool worker : {round % 2 == 0, round % 2 != 0}) {
            BenchPrompter prompter(&window, !worker);
            prompter.pumpEveryStep = true;
            orbet::BinAngsDL bin(prompter);
            bin.setPass(QStringLiteral("benchmark"));
            bin.setFilename(QStringLiteral("input"));
            bool done = false;
            protect[worker].push_back(seconds(
                [&] {
                    bin.protectFile(input, target, [&](orbet::BinAngsDL::Protected r) {
                        if (r != orbet::BinAngsDL::Protected::Written)
                            std::fprintf(stderr, "protect failed\n");
                        done = true;
                    });
                },
                done));

            // Stopped by a click once the dialog is up.
            Clock::time_point clicked, reported;
            QTimer look;
            QObject::connect(&look, &QTimer::timeout, [&] {
                if (QProgressDialog* d = shownDialog(window, prompter); d && d->value() > 0) {
                    look.stop();
                    clicked = Clock::now();
                    postClick(d);
                }
            });
            look.start(10);
            done = false;
            seconds(
                [&] {
                    bin.protectFile(input, target, [&](orbet::BinAngsDL::Protected r) {
                        if (r != orbet::BinAngsDL::Protected::Stopped) std::fprintf(stderr, "not stopped\n");
                        reported = Clock::now();
                        done = true;
                    });
                },
                done);
            look.stop();
            if (clicked != Clock::time_point()) {
                stopWork[worker].push_back(
                    std::chrono::duration<double>(prompter.workEnded - clicked).count());
                stopReport[worker].push_back(std::chrono::duration<double>(reported - clicked).count());
            }

            orbet::FileCommandHooks hooks;
            hooks.currentFolder = [&] { return folder + QStringLiteral("/tree"); };
            orbet::FileCommands commands(prompter, state, hooks);
            prompter.pumpEveryStep = false;
            prompter.destination = folder + QStringLiteral("/copy");
            QDir(prompter.destination).removeRecursively();
            QDir().mkpath(prompter.destination);
            const auto start = Clock::now();
            commands.XCopy();
            while (state.longWork)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            copy[worker].push_back(std::chrono::duration<double>(Clock::now() - start).count());
        }
    }
    // Each round runs both, in turns first: the geometric mean of the
    // rounds' ratios cancels what running second costs or saves.
    const auto line = [](const char* what, const std::vector<double>* v) {
        double logs = 0;
        for (std::size_t i = 0; i < v[0].size(); ++i)
            logs += std::log(v[1][i] / v[0][i]);
        std::printf("%-26s today %8.3f s   worker %8.3f s   (medians)   worker/today %.3f (mean of rounds)\n",
                    what, median(v[0]), median(v[1]), std::exp(logs / double(v[0].size())));
    };
    std::printf("%d rounds\n", rounds);
    line(qPrintable(QStringLiteral("protect %1 MB").arg(megabytes)), protect);
    line(qPrintable(QStringLiteral("folder copy %1 files").arg(files)), copy);
    std::printf("click to stop, work ended   today %6.1f ms   worker %6.1f ms   (medians of %zu, %zu)\n",
                1000 * median(stopWork[0]), 1000 * median(stopWork[1]), stopWork[0].size(),
                stopWork[1].size());
    std::printf("click to stop, report       today %6.1f ms   worker %6.1f ms\n",
                1000 * median(stopReport[0]), 1000 * median(stopReport[1]));
    QDir(folder).removeRecursively();
    return 0;
}
