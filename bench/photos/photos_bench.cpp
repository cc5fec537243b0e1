// Photos as cameras and phones write them, side by side in one run (runs
// alternate, so each kind sees the same machine):
//  - a 24-megapixel JPEG with an Adobe RGB profile against the same picture
//    without one, and one with EXIF orientation 6 against the unrotated one,
//    from the command (a selection in the file list of the real main window,
//    offscreen, 1280 x 1000) to the whole picture painted where the window
//    shows it; for all three also the first screenful (the corner). Twice:
//    opened afresh, nothing decoding ahead, and stepped to, when the
//    read-ahead has begun the picture just before the command (a head start
//    the same for all three, which takes off both sides of a ratio alike);
//  - IFavif, IFheif and IFjxl decoding a 6-megapixel picture against the
//    libraries' own command-line decoders on the same file (avifdec,
//    heif-convert, djxl, from libavif-bin, libheif-examples, libjxl-tools),
//    which write raw frames to /dev/null.
//
//   QT_QPA_PLATFORM=offscreen build/bench/photos/bench_photos [runs]

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "app/ui/ViewerCommands.h"
#include "display/ColourProfile.h"
#include "display/ReadAhead.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/ScriptedPrompter.h"
#include "plugins/host/DibImage.h"
#include "plugins/host/SusieLibrary.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// A photograph-like picture: gradients, shapes and noise.
QImage scene(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(30, 80, 160));
    g.setColorAt(1, QColor(220, 180, 90));
    p.fillRect(img.rect(), g);
    std::mt19937 rng(7);
    for (int i = 0; i < 4000; ++i) {
        p.setBrush(QColor(rng() % 256, rng() % 256, rng() % 256, 120));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(rng() % w, rng() % h), rng() % 200 + 5, rng() % 200 + 5);
    }
    p.end();
    for (int y = 0; y < img.height(); y += 2) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); x += 3)
            line[x] ^= rng() & 0x0f0f0f;
    }
    return img;
}

QByteArray segment(char marker, const QByteArray& payload) {
    QByteArray s;
    s.append(char(0xff)).append(marker);
    const int length = int(payload.size()) + 2;
    s.append(char(length >> 8)).append(char(length & 0xff)).append(payload);
    return s;
}

// The JPEG with an extra segment right after its start.
QByteArray withSegment(const QByteArray& jpeg, const QByteArray& s) {
    return jpeg.left(2) + s + jpeg.mid(2);
}

QByteArray exifOrientation6() {
    // Big-endian TIFF, one directory with one entry: Orientation (0x112), SHORT, 1, 6.
    return QByteArray("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 32);
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(900000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 7;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/orbet-photos-XXXXXX"));
    const QString folder = work.filePath(QStringLiteral("pictures"));
    QDir().mkpath(folder);

    // 24 megapixels: plain, with the Adobe RGB profile of the test pictures,
    // and turned by EXIF. The profile sits where cameras put it, after SOI.
    QByteArray plain;
    {
        QBuffer buffer(&plain);
        buffer.open(QIODevice::WriteOnly);
        scene(6000, 4000).save(&buffer, "JPEG", 90);
    }
    QFile rose(QStringLiteral(ORBET_OWN_PICTURES "/rose_a98.jpg"));
    rose.open(QIODevice::ReadOnly);
    const QByteArray adobe = orbet::embeddedProfile(rose.readAll());
    const QByteArray iccPayload = QByteArray("ICC_PROFILE\0\x01\x01", 14) + adobe;
    const struct {
        const char* name;
        QByteArray bytes;
    } kinds[] = {{"a_plain.jpg", plain},
                 {"b_profile.jpg", withSegment(plain, segment(char(0xe2), iccPayload))},
                 {"c_oriented.jpg", withSegment(plain, segment(char(0xe1), exifOrientation6()))}};
    for (const auto& k : kinds) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(k.name));
        f.open(QIODevice::WriteOnly);
        f.write(k.bytes);
    }

    qputenv("ORBET_HOME", work.filePath(QStringLiteral("home")).toUtf8());
    orbet::ScriptedPrompter prompter;
    orbet::Form1 form(prompter, orbet::StartRequest{});
    form.load();
    // After the stored placement, which would otherwise size the window.
    form.resize(1280, 1000);
    form.Timer1->stop();
    form.Combo1->setCurrentIndex(3);
    form.navigator().OpenFolder(folder);
    app.processEvents();

    orbet::ReadAhead& ahead = form.findChild<orbet::ViewerCommands*>()->readAhead();
    for (const bool afresh : {true, false}) {
        std::vector<double> whole[3], first[3];
        for (int r = 0; r < runs; ++r) {
            for (int k = 0; k < 3; ++k) {
                // Another entry first, so every show decodes the picture.
                form.File1->setListIndex((k + 1) % 3);
                form.MP->waitForWhole();
                app.processEvents();
                if (afresh) {
                    ahead.cancel();
                    while (ahead.held() > 0)
                        QThread::msleep(1);
                }
                QElapsedTimer t;
                t.start();
                form.File1->setListIndex(k);
                first[k].push_back(ms(t));
                // The whole picture arrived and painted where the window shows it.
                form.MP->waitForWhole();
                form.MP->grab(QRect(0, 0, 1280, 800));
                whole[k].push_back(ms(t));
                if (!form.MP->isComplete() ||
                    form.MP->size() != (k == 2 ? QSize(4000, 6000) : QSize(6000, 4000))) {
                    std::printf("%s did not show whole\n", kinds[k].name);
                    return 1;
                }
            }
        }
        std::printf("24 MP JPEG, command to whole picture, %s (median of %d):\n",
                    afresh ? "opened afresh" : "stepped to", runs);
        std::printf("  plain %.1f ms; Adobe RGB profile %.1f ms (ratio %.3f); EXIF orientation 6 %.1f ms "
                    "(ratio %.3f)\n",
                    median(whole[0]), median(whole[1]), median(whole[1]) / median(whole[0]), median(whole[2]),
                    median(whole[2]) / median(whole[0]));
        std::printf(
            "  first screenful (the command's return): plain %.1f ms, profile %.1f ms, oriented %.1f ms\n",
            median(first[0]), median(first[1]), median(first[2]));
    }

    // The plug-ins against the command-line decoders, 12 megapixels.
    const QString png = work.filePath(QStringLiteral("scene.png"));
    scene(3000, 2000).save(png, "PNG");
    const QString sink = work.filePath(QStringLiteral("null.y4m"));
    QFile::link(QStringLiteral("/dev/null"), sink);
    const QString avif = work.filePath(QStringLiteral("scene.avif")),
                  heic = work.filePath(QStringLiteral("scene.heic")),
                  jxl = work.filePath(QStringLiteral("scene.jxl"));
    if (!run(QStringLiteral("avifenc"), {QStringLiteral("-s"), QStringLiteral("8"), QStringLiteral("-j"),
                                         QStringLiteral("2"), png, avif}) ||
        !run(QStringLiteral("heif-enc"),
             {QStringLiteral("-q"), QStringLiteral("80"), png, QStringLiteral("-o"), heic}) ||
        !run(QStringLiteral("cjxl"), {QStringLiteral("-e"), QStringLiteral("3"), png, jxl})) {
        std::printf("the encoders failed (avifenc, heif-enc, cjxl)\n");
        return 1;
    }
    const struct {
        const char* plugin;
        QString file;
        QString tool;
        QStringList arguments;
    } formats[] = {
        {ORBET_SHIPPED_AVIF,
         avif,
         QStringLiteral("avifdec"),
         {QStringLiteral("-j"), QStringLiteral("all"), avif, sink}},
        {ORBET_SHIPPED_HEIF, heic, QStringLiteral("heif-convert"), {heic, sink}},
        {ORBET_SHIPPED_JXL, jxl, QStringLiteral("djxl"), {jxl}},
    };
    std::printf("6 MP picture, plug-in decode against the library's own decoder (median of %d):\n", runs);
    for (const auto& f : formats) {
        QString reason;
        const auto library = orbet::SusieLibrary::load(QString::fromUtf8(f.plugin), &reason);
        QFile file(f.file);
        file.open(QIODevice::ReadOnly);
        const QByteArray contents = file.readAll();
        std::vector<double> plugin, tool;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            const QImage decoded = orbet::dibToPicture(library->getPicture(contents));
            plugin.push_back(ms(t));
            if (decoded.width() != 3000) {
                std::printf("%s did not decode\n", f.plugin);
                return 1;
            }
            t.restart();
            if (!run(f.tool, f.arguments)) {
                std::printf("%s failed\n", qPrintable(f.tool));
                return 1;
            }
            tool.push_back(ms(t));
        }
        std::printf("  %-12s plug-in %.1f ms, %s %.1f ms, ratio %.3f\n",
                    qPrintable(QFileInfo(f.file).suffix()), median(plugin), qPrintable(f.tool), median(tool),
                    median(plugin) / median(tool));
    }
    return 0;
}
