#include <cstdint>
#include <memory>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "plugins/host/DibImage.h"
#include "plugins/host/PluginRegistry.h"

// A large PNG shown through IFpng.spi must stay within 1.3 times Qt's own PNG
// reader, and twenty plug-ins may add at most 50 ms to the start-up.
namespace {

struct Setup {
    QTemporaryDir dir;
    QString png;
    QString pngFolder;
    QString twentyFolder;
    QString emptyFolder;

    Setup() {
        png = dir.filePath(QStringLiteral("large.png"));
        writeLargePng();
        pngFolder = makeFolder(QStringLiteral("png"));
        QFile::copy(QStringLiteral(ORBET_SHIPPED_PNG), pngFolder + QStringLiteral("/IFpng.spi"));
        twentyFolder = makeFolder(QStringLiteral("twenty"));
        const char* shipped[] = {ORBET_SHIPPED_PNG, ORBET_SHIPPED_WEBP, ORBET_SHIPPED_TIFF};
        for (int i = 0; i < 20; ++i)
            QFile::copy(QString::fromUtf8(shipped[i % 3]),
                        twentyFolder + QStringLiteral("/IFcopy%1.spi").arg(i, 2, 10, QLatin1Char('0')));
        emptyFolder = makeFolder(QStringLiteral("empty"));
    }

    QString makeFolder(const QString& name) {
        QDir(dir.path()).mkdir(name);
        return dir.filePath(name);
    }

    // A photograph-like picture: smooth gradients with a little noise, so it
    // compresses neither trivially nor not at all.
    void writeLargePng() {
        QImage image(4000, 3000, QImage::Format_RGB32);
        std::uint32_t noise = 12345;
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int jitter = int(noise >> 29);
                row[x] = qRgb((x * 255 / 4000 + jitter) & 255, (y * 255 / 3000 + jitter) & 255,
                              ((x + y) * 255 / 7000) & 255);
            }
        }
        image.save(png, "PNG");
    }
};

Setup& setup() {
    static Setup instance;
    return instance;
}

void BM_ShowLargePngThroughPlugin(benchmark::State& state) {
    orbet::PluginRegistry registry;
    registry.setEventPump({});
    registry.loadPlugins(setup().pngFolder);
    for (auto _ : state) {
        const QImage shown = orbet::composeOver(registry.decodeWithPlugins(setup().png), Qt::white);
        if (shown.isNull()) state.SkipWithError("the plug-in did not decode the picture");
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_ShowLargePngThroughPlugin)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowLargePngThroughQt(benchmark::State& state) {
    for (auto _ : state) {
        QImageReader reader(setup().png);
        const QImage shown = orbet::composeOver(reader.read(), Qt::white);
        if (shown.isNull()) state.SkipWithError("Qt did not decode the picture");
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_ShowLargePngThroughQt)->Unit(benchmark::kMillisecond)->UseRealTime();

void loadFrom(benchmark::State& state, const QString& folder, int expected) {
    for (auto _ : state) {
        auto registry = std::make_unique<orbet::PluginRegistry>();
        registry->setEventPump({});
        registry->loadPlugins(folder);
        if (registry->loadedCount() != expected) state.SkipWithError("wrong number of plug-ins loaded");
        state.PauseTiming();
        registry.reset();
        state.ResumeTiming();
    }
}

void BM_LoadPluginsEmptyFolder(benchmark::State& state) {
    loadFrom(state, setup().emptyFolder, 0);
}
BENCHMARK(BM_LoadPluginsEmptyFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadPluginsTwentyPlugins(benchmark::State& state) {
    loadFrom(state, setup().twentyFolder, 20);
}
BENCHMARK(BM_LoadPluginsTwentyPlugins)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
