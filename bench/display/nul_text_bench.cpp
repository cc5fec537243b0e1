// A text file of 16 MB of zero bytes (a sparse or binary file shown as text)
// beside 16 MB of ordinary lines, each shown in the text pane of the real
// main window: the time from choosing the file to the end of the pane's first
// paint, and the longest the window's event loop was held in the two seconds
// after (how responsive it stays while the rest of the text is laid out).
// Then the reason, on a smaller text: laying out a line of raw zero bytes
// against the same line as the pane now shows it.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/display/bench_nul_text

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "display/text/TextDecoding.h"
#include "navigation/ui/ListControls.h"
#include "platform/ScriptedPrompter.h"

namespace {

class PaintWatch : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

struct Showing {
    double chosenMs = 0;  // choosing the file: read, decode, into the pane
    double paintedMs = 0; // from choosing to the end of the first paint
    double longestHoldMs = 0;
};

// Turns of the event loop until the widget has painted, then two seconds
// of turns, noting the longest one.
Showing watch(QWidget* viewport, const std::function<void()>& choose) {
    PaintWatch w;
    viewport->installEventFilter(&w);
    Showing s;
    QElapsedTimer t;
    t.start();
    choose();
    s.chosenMs = double(t.nsecsElapsed()) / 1e6;
    viewport->update();
    while (!w.painted && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    s.paintedMs = double(t.nsecsElapsed()) / 1e6;
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 2000) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        s.longestHoldMs = std::max(s.longestHoldMs, double(turn.nsecsElapsed()) / 1e6);
    }
    viewport->removeEventFilter(&w);
    return s;
}

double layoutMs(const QString& text) {
    QTextEdit edit;
    edit.resize(900, 600);
    edit.show();
    QElapsedTimer t;
    t.start();
    edit.setPlainText(text);
    edit.document()->documentLayout()->documentSize(); // the whole layout, as a paint of its end needs
    edit.repaint();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/orbet-nul-XXXXXX"));
    const QString folder = work.filePath(QStringLiteral("texts"));
    QDir().mkpath(folder);
    constexpr qint64 kSize = 16 * 1024 * 1024;
    {
        QFile f(folder + QStringLiteral("/a-zeros.txt"));
        f.open(QIODevice::WriteOnly);
        f.resize(kSize); // a sparse file: all zero bytes
    }
    {
        QByteArray lines;
        while (lines.size() < kSize - 80)
            lines += "Every line of this file is an ordinary line of words, 70 bytes.\r\n";
        QFile f(folder + QStringLiteral("/b-lines.txt"));
        f.open(QIODevice::WriteOnly);
        f.write(lines);
    }

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    form.Timer1->stop();
    form.resize(1100, 850);
    form.show();
    form.navigator().OpenFolder(folder);
    form.Combo1->setCurrentIndex(6); // the text filter: shows a-zeros.txt
    QCoreApplication::processEvents();

    for (int round = 0; round < 3; ++round) {
        for (int index : {0, 1}) {
            const Showing s = watch(form.RT->viewport(), [&] { form.File1->setListIndex(index); });
            std::printf("%-12s 16 MB: chosen %7.1f ms, on screen %7.1f ms, longest hold after %6.1f ms\n",
                        index == 0 ? "zero bytes" : "lines", s.chosenMs, s.paintedMs, s.longestHoldMs);
        }
    }

    // 256 KB on one line: raw zero bytes, the same as the pane shows them
    // (middle dots in cut lines), and ordinary letters shown the same way.
    const QString zeros(256 * 1024, QChar(0));
    const double raw = layoutMs(zeros);
    const double shown = layoutMs(orbet::textForDisplay(zeros));
    const double letters = layoutMs(orbet::textForDisplay(QString(256 * 1024, u'q')));
    std::printf(
        "256 KB laid out whole: raw zero bytes %.1f ms, as shown %.1f ms (ratio %.1f), letters %.1f ms\n",
        raw, shown, raw / shown, letters);
    return 0;
}
