// Whole-process benchmark of protecting and restoring a file, to be timed from
// outside (see compare.sh) against dd writing the same number of bytes:
//   bench_crypto make SIZE_MB FILE      writes a file of pseudo-random bytes
//   bench_crypto protect SOURCE TARGET  protects SOURCE into TARGET
//   bench_crypto restore PROTECTED      restores into PROTECTED's folder
#include <cstdio>
#include <cstring>

#include <QCoreApplication>
#include <QFileInfo>

#include "crypto/BinAngsDL.h"
#include "platform/AtomicWrite.h"
#include "platform/Prompter.h"

namespace {

// Answers Yes to every question, so a run may replace the last run's output,
// and prints every message.
class YesPrompter : public orbet::Prompter {
  public:
    orbet::Answer message(const QString& text, const QString&, orbet::Buttons buttons, orbet::Icon,
                          std::optional<orbet::Answer>) override {
        if (buttons == orbet::Buttons::YesNo) return orbet::Answer::Yes;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        ++messages;
        return orbet::Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const orbet::FileDialogRequest&) override { return {}; }
    QString saveFile(const orbet::FileDialogRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    int messages = 0;
};

int make(qint64 megabytes, const QString& path) {
    orbet::AtomicWriter out(path);
    if (!out.open()) return 1;
    QByteArray block(1 << 20, Qt::Uninitialized);
    quint64 x = 88172645463325252ull;
    for (qint64 m = 0; m < megabytes; ++m) {
        for (qsizetype i = 0; i < block.size(); i += 8) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            std::memcpy(block.data() + i, &x, 8);
        }
        if (!out.write(block)) return 1;
    }
    return out.commit() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("make")) return make(args[2].toLongLong(), args[3]);
    YesPrompter prompter;
    orbet::BinAngsDL bin(prompter);
    bin.setTitleName(QStringLiteral("bench"));
    bin.setPass(QStringLiteral("benchmark"));
    if (args.size() >= 4 && args[1] == QLatin1String("protect")) {
        bin.setFilename(QFileInfo(args[2]).fileName() + QStringLiteral(".restored"));
        return bin.ProtectFile(args[2], args[3]) == orbet::BinAngsDL::Protected::Written ? 0 : 1;
    }
    if (args.size() >= 3 && args[1] == QLatin1String("restore")) {
        bin.setDirectry(QFileInfo(args[2]).absolutePath());
        return bin.RestoreFile(args[2]).isEmpty() ? 1 : 0;
    }
    std::fprintf(stderr, "usage: bench_crypto make MB FILE | protect SOURCE TARGET | restore PROTECTED\n");
    return 2;
}
