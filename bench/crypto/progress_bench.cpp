// What the progress dialog costs long work: a protection of a file and a
// copy of a folder of small files, each run with the real dialog (over a
// window, shown after half a second as in the program) and with a progress
// that shows nothing, alternately in one run, so the ratio is read side by
// side on a shared machine.
//   bench_progress [ROUNDS] [SIZE_MB] [FILES] [FOLDER]   (6 100 2000 ./progress-bench-data)
// FOLDER defaults to a new folder in the current one (the disk of the work).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include "crypto/BinAngsDL.h"
#include "platform/AtomicWrite.h"
#include "platform/ProgramState.h"
#include "platform/ui/QtPrompter.h"
#include "tools/FileCommands.h"
#include "tools/FileOperations.h"

namespace {

// Answers every question without a window; the progress is the real one or
// none, as asked.
class BenchPrompter : public orbet::QtPrompter {
  public:
    BenchPrompter(QWidget* window, bool shown) : QtPrompter(window), shown_(shown) {}
    orbet::Answer message(const QString& text, const QString&, orbet::Buttons buttons, orbet::Icon,
                          std::optional<orbet::Answer>) override {
        if (buttons != orbet::Buttons::Ok) return orbet::Answer::Yes;
        if (text.contains(QStringLiteral("できませんでした"))) std::fprintf(stderr, "%s\n", qPrintable(text));
        return orbet::Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return destination;
    }
    std::unique_ptr<orbet::Progress> progress() override {
        return shown_ ? QtPrompter::progress() : std::make_unique<orbet::SilentProgress>();
    }
    QString destination;

  private:
    bool shown_;
};

double seconds(const std::function<void()>& job) {
    const auto start = std::chrono::steady_clock::now();
    job();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? args[1].toInt() : 6;
    const qint64 megabytes = args.size() > 2 ? args[2].toLongLong() : 100;
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
    std::vector<double> protect[2], copy[2];
    for (int round = 0; round < rounds; ++round) {
        for (const bool shown : {round % 2 == 0, round % 2 != 0}) {
            BenchPrompter prompter(&window, shown);
            orbet::BinAngsDL bin(prompter);
            bin.setPass(QStringLiteral("benchmark"));
            bin.setFilename(QStringLiteral("input"));
            protect[shown].push_back(seconds([&] {
                if (bin.ProtectFile(folder + QStringLiteral("/input"),
                                    folder + QStringLiteral("/input.ang")) !=
                    orbet::BinAngsDL::Protected::Written)
                    std::fprintf(stderr, "protect failed\n");
            }));
            orbet::FileCommandHooks hooks;
            hooks.currentFolder = [&] { return folder + QStringLiteral("/tree"); };
            orbet::FileCommands commands(prompter, state, hooks);
            prompter.destination = folder + QStringLiteral("/copy");
            QDir(prompter.destination).removeRecursively();
            QDir().mkpath(prompter.destination);
            copy[shown].push_back(seconds([&] { commands.XCopy(); }));
        }
    }
    // Each round runs both, in turns first: the geometric mean of the
    // rounds' ratios cancels what running second costs or saves.
    const auto line = [](const char* what, const std::vector<double>* v) {
        double logs = 0;
        for (std::size_t i = 0; i < v[0].size(); ++i)
            logs += std::log(v[1][i] / v[0][i]);
        std::printf("%-26s none %8.3f s   dialog %8.3f s   (medians)   ratio %.3f (mean of rounds)\n", what,
                    median(v[0]), median(v[1]), std::exp(logs / double(v[0].size())));
    };
    std::printf("%d rounds\n", rounds);
    line(qPrintable(QStringLiteral("protect %1 MB").arg(megabytes)), protect);
    line(qPrintable(QStringLiteral("folder copy %1 files").arg(files)), copy);
    QDir(folder).removeRecursively();
    return 0;
}
