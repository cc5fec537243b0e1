// Showing a 6000 x 4000 JPEG from the file list, inside the real main window
// (offscreen), set beside djpeg decoding the same file to /dev/null; runs
// alternate so both see the same machine. Also the memory the shown picture
// costs above the idle window, against the decoded image's 4 bytes a pixel.
//
//   QT_QPA_PLATFORM=offscreen build/bench/display/bench_picture
// (djpeg comes with Debian's libjpeg-turbo-progs)

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "display/ui/PictureBox.h"
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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A photograph-like picture: gradients, shapes and noise, so the encoder
// has real work and the decoder too.
void makeJpeg(const QString& path) {
    QImage img(6000, 4000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 6000, 4000);
    g.setColorAt(0, QColor(30, 80, 160));
    g.setColorAt(1, QColor(220, 180, 90));
    p.fillRect(img.rect(), g);
    std::mt19937 rng(7);
    for (int i = 0; i < 4000; ++i) {
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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/orbet-picture-XXXXXX"));
    const QString folder = work.filePath(QStringLiteral("pictures"));
    QDir().mkpath(folder);
    const QString jpeg = folder + QStringLiteral("/big.jpg");
    makeJpeg(jpeg);
    QFile::copy(jpeg, folder + QStringLiteral("/big2.jpg"));
    std::printf("picture: %s (%lld bytes)\n", qPrintable(jpeg), QFile(jpeg).size());

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    form.Timer1->stop();
    form.Combo1->setCurrentIndex(3);
    form.navigator().OpenFolder(work.path());
    app.processEvents();
    const long idleKb = rssKb();

    form.navigator().OpenFolder(folder);
    std::vector<double> show, djpeg;
    long shownKb = 0;
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer t;
        t.start();
        QProcess::execute(QStringLiteral("djpeg"),
                          {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), jpeg});
        djpeg.push_back(double(t.nsecsElapsed()) / 1e6);

        t.restart();
        form.File1->setListIndex(r % 2); // alternate the two copies, so each show decodes afresh
        show.push_back(double(t.nsecsElapsed()) / 1e6);
        if (form.MP->size() != QSize(6000, 4000)) {
            std::printf("the picture did not show\n");
            return 1;
        }
        shownKb = std::max(shownKb, rssKb());
    }
    // Holding Down over 200 such pictures: the key events arrive faster than
    // pictures decode, so only the picture under the selection at the end is shown.
    const QString many = work.filePath(QStringLiteral("many"));
    QDir().mkpath(many);
    for (int i = 0; i < 200; ++i)
        QFile::link(jpeg, many + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    form.navigator().OpenFolder(many);
    app.processEvents();
    int shows = 0;
    QObject::connect(form.MP, &orbet::PictureBox::pictureChanged, [&] { ++shows; });
    form.File1->setFocus();
    QElapsedTimer held;
    held.start();
    for (int i = 0; i < 199; ++i)
        QTest::keyClick(form.File1, Qt::Key_Down);
    app.processEvents();
    std::printf(
        "holding Down over 200 pictures: %d pictures decoded, %.1f ms until the last one showed (entry %d)\n",
        shows, double(held.nsecsElapsed()) / 1e6, form.File1->listIndex());

    const double decodedMb = 6000.0 * 4000.0 * 4 / (1024 * 1024);
    std::printf("show from the list: median %.1f ms; djpeg to /dev/null: median %.1f ms; ratio %.2f\n",
                median(show), median(djpeg), median(show) / median(djpeg));
    std::printf("memory above the idle window: %.1f MB for a %.1f MB decoded picture (%.2f times)\n",
                double(shownKb - idleKb) / 1024.0, decodedMb, double(shownKb - idleKb) / 1024.0 / decodedMb);
    return 0;
}
