// The full-screen window stepping forward through 200 pictures of 6000 x 4000
// (JPEG), inside the real main window (offscreen), set beside djpeg decoding
// the same file to /dev/null; the two alternate so both see the same machine.
// Then a slideshow at 0.5 s over the same 200 pictures (its drift over the
// whole run), and the memory the full-screen window costs on such a picture.
//
//   bench/viewers/run.sh [steps]     (installs djpeg when missing)

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "app/ui/ViewerCommands.h"
#include "display/ReadAhead.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/ScriptedPrompter.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"

namespace {

long rssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, std::size_t(p * v.size()))];
}

// A photograph-like picture: gradients, shapes and noise, so the encoder and
// the decoder both have real work.
void makeJpeg(const QString& path, unsigned seed) {
    QImage img(6000, 4000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 6000, 4000);
    g.setColorAt(0, QColor(30, 80, 160));
    g.setColorAt(1, QColor(220, 180, 90));
    p.fillRect(img.rect(), g);
    std::mt19937 rng(seed);
    for (int i = 0; i < 3000; ++i) {
        p.setBrush(QColor(rng() % 256, rng() % 256, rng() % 256, 120));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(rng() % 6000, rng() % 4000), rng() % 200 + 5, rng() % 200 + 5);
    }
    p.end();
    for (int y = 0; y < img.height(); y += 2) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); x += 3)
            line[x] ^= rng() & 0x0f0f0f;
    }
    img.save(path, "JPEG", 90);
}

double djpegMs(const QString& file) {
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("djpeg"),
                      {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), file});
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(2, atoi(argv[1])) : 200;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/orbet-viewers-XXXXXX"));
    const QString folder = work.filePath(QStringLiteral("pictures"));
    QDir().mkpath(folder);
    // Three different pictures behind 200 names (links, so the temp folder stays small).
    QStringList sources;
    for (unsigned k = 0; k < 3; ++k) {
        QDir().mkpath(work.filePath(QStringLiteral("sources")));
        sources << work.filePath(QStringLiteral("sources/source%1.jpg").arg(k));
        makeJpeg(sources.last(), 7 + k);
    }
    for (int i = 0; i < steps; ++i)
        QFile::link(sources[i % 3], folder + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    std::printf("pictures: %d names over 3 JPEGs of 6000 x 4000 (%lld bytes each)\n", steps,
                QFile(sources[0]).size());

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    form.Timer1->stop();
    form.Combo1->setCurrentIndex(3);
    form.navigator().OpenFolder(work.path());
    app.processEvents();
    // The pictures made above leave freed memory the allocator keeps; give it back first.
    malloc_trim(0);
    const long idleKb = rssKb();

    auto& viewers = *form.findChild<orbet::ViewerCommands*>();
    form.navigator().OpenFolder(folder);
    form.action(orbet::Command::ZenBit)->trigger();
    orbet::AllWindow* all = viewers.allWindow();
    if (!all || all->Picture1->picture().size() != QSize(6000, 4000)) {
        std::printf("the full-screen window did not open on the picture\n");
        return 1;
    }
    all->Picture1->repaint();
    auto waitForGuess = [&] {
        const QString next =
            folder + QStringLiteral("/") + form.File1->entry((form.File1->listIndex() + 1) % steps);
        QElapsedTimer t;
        t.start();
        while (!viewers.readAhead().isDecoded(next) && t.elapsed() < 5000) {
            app.processEvents();
            QThread::msleep(2);
        }
    };
    waitForGuess();
    malloc_trim(0);
    const double decodedMb = 6000.0 * 4000.0 * 4 / (1024 * 1024);
    const double fullMb = double(rssKb() - idleKb) / 1024.0;
    std::printf("memory: idle %.1f MB, full screen open %.1f MB, guesses held %d\n", idleKb / 1024.0,
                rssKb() / 1024.0, viewers.readAhead().held());

    // 1. A user who looks at each picture: the step after the guess is ready.
    std::vector<double> step, djpeg;
    for (int i = 1; i < steps; ++i) {
        waitForGuess();
        djpeg.push_back(djpegMs(folder + QStringLiteral("/") + form.File1->entry(i)));
        QElapsedTimer t;
        t.start();
        all->listnext_Click();
        all->Picture1->repaint(); // on screen: the scaled copy is drawn
        step.push_back(double(t.nsecsElapsed()) / 1e6);
        if (form.File1->listIndex() != i || all->Picture1->picture().size() != QSize(6000, 4000)) {
            std::printf("step %d did not show its picture\n", i);
            return 1;
        }
    }
    // 2. Holding the key: each step follows the last at once, so it waits for the decode under way.
    std::vector<double> rushed;
    QElapsedTimer whole;
    whole.start();
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        all->listnext_Click();
        all->Picture1->repaint();
        rushed.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    // The same without read-ahead, for comparison: a jump drops the guess every time.
    std::vector<double> cold;
    for (int i = 0; i < 10; ++i) {
        app.processEvents();
        QElapsedTimer t;
        t.start();
        form.File1->setListIndex((form.File1->listIndex() + 7) % steps); // a jump: no guess serves it
        cold.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    std::printf("step in full screen after a look at the picture: median %.1f ms, 90th %.1f ms; djpeg: "
                "median %.1f ms; "
                "ratio %.2f (%zu steps)\n",
                median(step), percentile(step, 0.9), median(djpeg), median(step) / median(djpeg),
                step.size());
    std::printf("steps back to back (holding the key): median %.1f ms (ratio to djpeg %.2f); main window "
                "show without "
                "read-ahead: median %.1f ms (ratio %.2f)\n",
                median(rushed), median(rushed) / median(djpeg), median(cold), median(cold) / median(djpeg));
    std::printf("memory above the idle window with full screen open: %.1f MB for a %.1f MB decoded picture "
                "(%.2f times, "
                "the guess held ahead included)\n",
                fullMb, decodedMb, fullMb / decodedMb);

    // 3. The slideshow at 0.5 s over the whole list.
    all->close();
    app.processEvents();
    form.state().slideShowTimer = 500;
    form.File1->setListIndex(0);
    form.action(orbet::Command::ZenBit)->trigger();
    all = viewers.allWindow();
    int shows = 0;
    QElapsedTimer show;
    QObject::connect(form.MP, &orbet::PictureBox::pictureChanged, [&] { ++shows; });
    all->Slideon->trigger();
    show.start();
    while (shows < steps && show.elapsed() < steps * 2000)
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double elapsed = double(show.nsecsElapsed()) / 1e6;
    std::printf(
        "slideshow at 500 ms: %d pictures in %.1f ms, expected %d ms; drift %.1f ms (%.2f of one interval)\n",
        shows, elapsed, steps * 500, elapsed - steps * 500.0, (elapsed - steps * 500.0) / 500.0);
    all->close();
    return 0;
}
