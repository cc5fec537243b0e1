#include <gtest/gtest.h>

#include "favourites/FavouritesStore.h"

namespace orbet {
namespace {

TEST(FavouritesStore, SavesWithSlotNumbersAndLoadsBackInSlotOrder) {
    FavouritesStore store;
    store.append(QStringLiteral("/a"));
    store.append(QStringLiteral("/b b"));
    store.append(QStringLiteral("/a")); // duplicates are kept
    const QStringList lines = store.save();
    EXPECT_EQ(lines, (QStringList{"DirPath 0=/a", "DirPath 1=/b b", "DirPath 2=/a"}));

    FavouritesStore back;
    back.load(QStringList{"LastPath=/x"} + lines);
    EXPECT_EQ(back.entries(), store.entries());

    FavouritesStore shuffled;
    shuffled.load({"DirPath 2=/two", "Width=3", "DirPath 0=/zero", "DirPath 1=/one"});
    EXPECT_EQ(shuffled.entries(), (QStringList{"/zero", "/one", "/two"}));
    EXPECT_TRUE(FavouritesStore().save().isEmpty());
}

TEST(FavouritesStore, HandEditedLinesKeepTheInvariant) {
    FavouritesStore store;
    store.load({
        "DirPath 5=/five", // gap before it: closes up
        "DirPath 1=/one",
        "DirPath 1=/again",   // repeated slot: the first line wins
        "DirPath 10000=/out", // outside the table
        "DirPath -1=/negative",
        "DirPathX=/not a slot",
        "LastPath=/x DirPath 3=/inside a value",
        "DirPath 2=/with=equals",
    });
    EXPECT_EQ(store.entries(), (QStringList{"/one", "/with=equals", "/five"}));
}

TEST(FavouritesStore, AnEmptyValueLosesNoFavouriteAfterIt) {
    FavouritesStore store;
    store.load({"DirPath 0=/zero", "DirPath 1=", "DirPath 2=/two", "DirPath 3=/three"});
    EXPECT_EQ(store.entries(), (QStringList{"/zero", "/two", "/three"}));
    EXPECT_EQ(store.save(), (QStringList{"DirPath 0=/zero", "DirPath 1=/two", "DirPath 2=/three"}));
}

TEST(FavouritesStore, APathWithALineBreakIsNeverWritten) {
    FavouritesStore store;
    store.replaceAll({"/a", "/tmp/x\nLastPath=/y", "/b\rc", "/d"});
    EXPECT_EQ(store.save(), (QStringList{"DirPath 0=/a", "DirPath 1=/d"}));
    EXPECT_EQ(store.count(), 4); // still offered during this run
}

TEST(FavouritesStore, NeverGrowsBeyondItsSlots) {
    FavouritesStore store;
    QStringList many;
    for (int i = 0; i < FavouritesStore::Capacity + 5; ++i)
        many.append(QStringLiteral("/f%1").arg(i));
    store.replaceAll(many);
    EXPECT_EQ(store.count(), FavouritesStore::Capacity);
    EXPECT_FALSE(store.append(QStringLiteral("/one more")));
    EXPECT_EQ(store.count(), FavouritesStore::Capacity);
    EXPECT_EQ(store.save().last(), QStringLiteral("DirPath 9999=/f9999"));
}

} // namespace
} // namespace orbet

namespace orbet {
namespace {

TEST(FavouritesCheck, KeepsExistingEntriesOnceInOrder) {
    FavouritesStore store;
    store.replaceAll({"/a", "/gone", "/b", "/a", "/B", ""});
    int pumps = 0;
    store.check([](const QString& p) { return p != QLatin1String("/gone"); }, [&] { ++pumps; });
    EXPECT_EQ(store.entries(), (QStringList{"/a", "/b", "/B"})); // letter case makes a different path
    EXPECT_EQ(pumps, 6);

    // Whatever the events run between the entries do to the list, the walk
    // reads what it started with.
    store.replaceAll({"/a", "/b", "/c"});
    store.check([](const QString&) { return true; }, [&] { store.replaceAll({}); });
    EXPECT_EQ(store.entries(), (QStringList{"/a", "/b", "/c"}));
}

} // namespace
} // namespace orbet
