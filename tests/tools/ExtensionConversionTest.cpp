#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "navigation/FileListing.h"
#include "support/TestSupport.h"
#include "tools/ExtensionConversion.h"

namespace orbet {
namespace {

TEST(ExtensionConversion, ReplacesOnlyTheExtensionAndNeverAFile) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    for (const char* n : {"a.jpeg", "B.JPEG", "c.jpeg", "c.jpg", "noext"})
        test::writeAll(d.filePath(n), n);
    const QStringList listed = listFiles(tmp.path(), QStringLiteral("*.jpeg"), {});
    ASSERT_EQ(listed, (QStringList{"a.jpeg", "B.JPEG", "c.jpeg"}));
    const auto renames = extensionRenames(tmp.path(), listed, QStringLiteral("jpeg"), QStringLiteral("jpg"));
    EXPECT_EQ(renames[1].to, d.filePath("B.jpg"));
    const QStringList refused = applyRenames(renames);
    EXPECT_EQ(refused, QStringList{d.filePath("c.jpeg")}); // c.jpg is already there
    EXPECT_EQ(test::readAll(d.filePath("c.jpg")), QByteArray("c.jpg"));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.jpg"), {}), (QStringList{"a.jpg", "B.jpg", "c.jpg"}));

    // No extension: "*." lists it, and the new one is appended without a dot.
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*."), {}), QStringList{"noext"});
    applyRenames(extensionRenames(tmp.path(), {"noext"}, QString(), QStringLiteral("txt")));
    EXPECT_TRUE(QFileInfo::exists(d.filePath("noexttxt")));
}

TEST(ExtensionConversion, NoRenameLeavesTheFolderOrCutsIntoTheName) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath(QStringLiteral("in"));
    const QString in = d.filePath(QStringLiteral("in"));
    for (const char* n : {"photo.jpeg", "ab", "x.png"})
        test::writeAll(QDir(in).filePath(n), n);

    // A pattern as the old extension stands for each name's own extension.
    const QStringList all = listFiles(in, QStringLiteral("*.a;*"), {});
    ASSERT_EQ(all.size(), 3);
    EXPECT_TRUE(
        applyRenames(extensionRenames(in, all, QStringLiteral("a;*"), QStringLiteral("bak"))).isEmpty());
    EXPECT_EQ(listFiles(in, QStringLiteral("*"), {}), (QStringList{"abbak", "photo.bak", "x.bak"}));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{}); // nothing landed in the parent

    // A name that does not carry the old extension is never cut.
    const auto shortName = extensionRenames(in, {"abbak"}, QStringLiteral("jpeg"), QStringLiteral("x"));
    EXPECT_TRUE(shortName[0].to.isEmpty());
    // A new extension holding a separator would move the file away.
    const auto away = extensionRenames(in, {"x.bak"}, QStringLiteral("bak"), QStringLiteral("/../../x"));
    EXPECT_EQ(applyRenames(away), QStringList{QDir(in).filePath("x.bak")});
    EXPECT_TRUE(QFileInfo::exists(QDir(in).filePath("x.bak")));
}

} // namespace
} // namespace orbet
