#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include "display/wmf/WmfPlayer.h"

// Renders every metafile of the test data at its natural size, the way the
// picture pane gets it, and reads only the size, the way a layout pass would.
// A synthetic worst case, a polygon of hundreds of long edges over a large
// picture, shows what a hostile file costs.
namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put16(QByteArray& b, quint16 v) {
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

void put32(QByteArray& b, quint32 v) {
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

void record(QByteArray& out, quint16 function, const QList<int>& words) {
    put32(out, quint32(3 + words.size()));
    put16(out, function);
    for (int w : words)
        put16(out, quint16(w));
}

// A 3000-pixel placeable picture filled by one polygon of 300 vertices
// scattered over three times its area.
QByteArray scatteredPolygon() {
    QByteArray out;
    put32(out, 0x9AC6CDD7);
    put16(out, 0);
    for (int v : {0, 0, 3000, 3000, 96})
        put16(out, quint16(v));
    put32(out, 0);
    put16(out, 0);
    for (int v : {1, 9, 0x0300, 0, 0, 1, 0, 0, 0})
        put16(out, quint16(v));
    record(out, 0x02FC, {0, 0x00FF, 0, 0});
    record(out, 0x012D, {0});
    QList<int> points{300};
    quint32 seed = 12345;
    for (int i = 0; i < 600; ++i) {
        seed = seed * 1103515245u + 12345u;
        points.append(int((seed >> 8) % 12000) - 4500);
    }
    record(out, 0x0324, points);
    record(out, 0x0000, {});
    return out;
}

void render(benchmark::State& state, const QByteArray& bytes) {
    qint64 pixels = 0;
    for (auto _ : state) {
        const QImage image = orbet::renderWmf(bytes);
        pixels = qint64(image.width()) * image.height();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["pixels"] = double(pixels);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void info(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state)
        benchmark::DoNotOptimize(orbet::readWmfInfo(bytes));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir dir(QStringLiteral(ORBET_WMF_BENCH_DATA));
    for (const QString& name :
         dir.entryList({QStringLiteral("*.wmf"), QStringLiteral("*.WMF")}, QDir::Files)) {
        const QByteArray bytes = readFile(dir.filePath(name));
        benchmark::RegisterBenchmark(("Render/" + name).toStdString().c_str(), render, bytes)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Info/" + name).toStdString().c_str(), info, bytes)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("Render/scattered-polygon", render, scatteredPolygon())
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
