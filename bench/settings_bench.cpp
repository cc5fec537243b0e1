#include <benchmark/benchmark.h>

#include "app/core/SettingsTable.h"
#include "favourites/FavouritesStore.h"
#include "plugins/UserFilterTable.h"

// Start-up reads both settings files and shutdown writes them; with a full
// favourites store (10,000 lines) they must stay far below a frame.
namespace {

orbet::FavouritesStore fullStore() {
    orbet::FavouritesStore store;
    for (int i = 0; i < orbet::FavouritesStore::Capacity; ++i)
        store.append(QStringLiteral("/home/user/pictures/folder number %1").arg(i));
    return store;
}

void BM_WriteSettings(benchmark::State& state) {
    const auto store = fullStore();
    const orbet::Settings settings;
    for (auto _ : state)
        benchmark::DoNotOptimize(orbet::formatSettings(settings, store.save()));
}
BENCHMARK(BM_WriteSettings);

void BM_ReadSettings(benchmark::State& state) {
    const QByteArray bytes = orbet::formatSettings(orbet::Settings{}, fullStore().save());
    for (auto _ : state) {
        const QStringList lines = orbet::settingsLines(bytes);
        auto raw = orbet::readRawSettings(lines);
        orbet::FavouritesStore store;
        store.load(lines);
        benchmark::DoNotOptimize(raw);
    }
}
BENCHMARK(BM_ReadSettings);

void BM_FilterTableRoundTrip(benchmark::State& state) {
    orbet::UserFilterTable table;
    for (int r = 0; r < orbet::UserFilterTable::Rows; ++r) {
        table.row(r).name = orbet::FilterValue::ofText(QStringLiteral("filter %1").arg(r));
        table.row(r).patterns = orbet::FilterValue::ofText(QStringLiteral("*.a%1;*.b%1").arg(r));
        table.row(r).method = orbet::FilterValue::ofNumber(r % 3);
    }
    for (auto _ : state) {
        orbet::UserFilterTable copy;
        copy.deserialize(table.serialize());
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_FilterTableRoundTrip);

} // namespace

BENCHMARK_MAIN();
