// Loading a 5 MB plain text file (code page 932) and a 2 MB RTF file into
// the text pane of the real main window (offscreen), each set beside `cat`
// reading the same file, the floor of any loader.
//
//   QT_QPA_PLATFORM=offscreen build/bench/display/bench_text

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
#include <QTextEdit>
#include <QTimer>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "platform/ScriptedPrompter.h"

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double catMs(const QString& path) {
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("cat '%1' > /dev/null").arg(path)});
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString data = QStringLiteral(ORBET_TESTDATA);
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/orbet-text-XXXXXX"));
    const QString folder = work.filePath(QStringLiteral("texts"));
    QDir().mkpath(folder);

    QByteArray text;
    const QByteArray sjis = readFile(data + QStringLiteral("/text/plain/chardet_SHIFT_JIS__ude_4.txt"));
    while (text.size() < 5 * 1024 * 1024)
        text += sjis;
    QFile(folder + QStringLiteral("/big.txt")).open(QIODevice::WriteOnly);
    {
        QFile f(folder + QStringLiteral("/big.txt"));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0";
    const QByteArray doc = readFile(data + QStringLiteral("/text/rtf/rtfjs_japanese-single-double-byte.rtf"));
    while (rtf.size() < 2 * 1024 * 1024)
        rtf += "{" + doc.mid(1, doc.lastIndexOf('}') - 1) + "}";
    rtf += "}";
    {
        QFile f(folder + QStringLiteral("/big.rtf"));
        f.open(QIODevice::WriteOnly);
        f.write(rtf);
    }
    std::printf("files: %lld bytes of text, %lld bytes of RTF\n", qlonglong(text.size()),
                qlonglong(rtf.size()));

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    form.Timer1->stop();
    form.navigator().OpenFolder(folder);

    for (const auto& [name, filter] : {std::pair{"big.txt", 6}, std::pair{"big.rtf", 7}}) {
        std::vector<double> pane, cat;
        const QString path = folder + u'/' + QLatin1String(name);
        for (int r = 0; r < 5; ++r) {
            cat.push_back(catMs(path));
            form.Combo1->setCurrentIndex(0);
            QElapsedTimer t;
            t.start();
            form.Combo1->setCurrentIndex(filter); // selects and shows the file
            app.processEvents();
            pane.push_back(double(t.nsecsElapsed()) / 1e6);
            if (form.File1->fileName() != QLatin1String(name) || form.RT->toPlainText().isEmpty()) {
                std::printf("%s did not show\n", name);
                return 1;
            }
        }
        std::printf("%s into the text pane: median %.1f ms; cat: median %.1f ms; ratio %.1f\n", name,
                    median(pane), median(cat), median(pane) / median(cat));
    }
    return 0;
}
