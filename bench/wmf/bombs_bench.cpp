#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QTextDocument>

#include "display/text/RtfReader.h"
#include "display/wmf/WmfPlayer.h"
#include "wmf/WmfBombs.h"

// What the most costly small metafiles cost under the work budget: each kind
// of record at its worst, at the size of the hostile files found (7 KB and
// 28 KB) and at 1 MB, next to an ordinary picture of the same area, so the
// ratios show in one run. The goal is at most 2 s for any metafile up to
// 1 MB, whole or cut short. "cut" is 1 when the budget stopped the drawing.
// On a shared machine compare CPU times; wall times wait for the cores.
namespace {

using namespace orbet::test;

void render(benchmark::State& state, const QByteArray& bytes, bool bounded) {
    bool cut = false;
    for (auto _ : state) {
        orbet::WmfBudget budget;
        if (!bounded) budget.steps = budget.pixels = qint64(1) << 60;
        const QImage image = orbet::renderWmf(bytes, Qt::white, nullptr, &budget);
        cut = budget.cutShort;
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cut"] = cut;
    state.counters["KB"] = double(bytes.size()) / 1024;
}

void readRich(benchmark::State& state, const QByteArray& rtf) {
    int pictures = 0;
    for (auto _ : state) {
        QTextDocument doc;
        orbet::WmfBudget budget;
        orbet::RtfReadOptions options;
        options.decodeWmf = orbet::metafileDecoder(&budget);
        orbet::readRtf(rtf, doc, options);
        pictures = int(doc.toRawText().count(QChar(0xFFFC)));
    }
    state.counters["pictures"] = pictures;
    state.counters["KB"] = double(rtf.size()) / 1024;
}

// About 1 MB of records of one kind.
constexpr int kMegabyteOfRects = (1 << 20) / 14;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const auto add = [](const char* name, const QByteArray& bytes, bool bounded = true) {
        benchmark::RegisterBenchmark(name, render, bytes, bounded)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    };
    add("Render/ordinary-8192x4096-one-rect", hatchedBomb(1));
    // What the budget saves: 50 of the 500 rectangles, drawn without one.
    add("Render/hatched-50-unbounded", hatchedBomb(50), false);
    add("Render/hatched-500-7KB", hatchedBomb(500));
    add("Render/hatched-2000-28KB", hatchedBomb(2000));
    add("Render/hatched-1MB", hatchedBomb(kMegabyteOfRects));
    add("Render/lines-1MB", lineBomb((1 << 20) / 28));
    add("Render/text-1MB", textBomb((1 << 20) / 150));
    add("Render/polygons-1MB", polygonBomb((1 << 20) / 810));
    // The same pictures inside rich text: three copies of the 7 KB file (42
    // KB), and of a 2000 x 1500 one that fits the memory allowed.
    const QByteArray fitting = [] {
        WmfBuilder b;
        b.placeable(0, 0, 2000, 1500, 96);
        b.record(0x020B, {0, 0});
        b.record(0x020C, {1500, 2000});
        b.brush(2, colorRef(200, 30, 30), 5).select(0);
        for (int i = 0; i < 2000; ++i)
            b.rect(0, 0, 2000, 1500);
        return b.build();
    }();
    benchmark::RegisterBenchmark("Rtf/three-hatched-7KB", readRich, rtfWithPictures(hatchedBomb(500), 3))
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Rtf/three-hatched-fitting", readRich, rtfWithPictures(fitting, 3))
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
