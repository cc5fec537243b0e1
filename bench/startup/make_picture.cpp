// orbet_bench_picture OUT.jpg WIDTH HEIGHT: writes a JPEG of the benchmark's
// colour with a grain of noise, so that decoding costs what a photograph of
// that size costs while every viewer's picture stays easy to see on screen.
#include <random>

#include <QGuiApplication>
#include <QImage>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) return 2;
    const int w = QByteArray(argv[2]).toInt(), h = QByteArray(argv[3]).toInt();
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-14, 14);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = grain(random);
            line[x] = qRgb(230 + n / 2, 30 + n, 200 + n);
        }
    }
    return image.save(QString::fromLocal8Bit(argv[1]), "JPEG", 90) ? 0 : 1;
}
