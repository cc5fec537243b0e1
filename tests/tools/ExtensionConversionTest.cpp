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
    for (const char* n : {"a.jpeg", "B.JPEG", "c.jpeg", "c.jpg", "noext"}) test::writeAll(d.filePath(n), n);
    const QStringList listed = listFiles(tmp.path(), QStringLiteral("*.jpeg"), {});
    ASSERT_EQ(listed, (QStringList{"a.jpeg", "B.JPEG", "c.jpeg"}));
    const auto renames = extensionRenames(tmp.path(), listed, QStringLiteral("jpeg"), QStringLiteral("jpg"));
    EXPECT_EQ(renames[1].to, d.filePath("B.jpg"));
    const QStringList refused = applyRenames(renames);
    EXPECT_EQ(refused, QStringList{d.filePath("c.jpeg")});  // c.jpg is already there
    EXPECT_EQ(test::readAll(d.filePath("c.jpg")), QByteArray("c.jpg"));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.jpg"), {}), (QStringList{"a.jpg", "B.jpg", "c.jpg"}));

    // No extension: "*." lists it, and the new one is appended without a dot.
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*."), {}), QStringList{"noext"});
    applyRenames(extensionRenames(tmp.path(), {"noext"}, QString(), QStringLiteral("txt")));
    EXPECT_TRUE(QFileInfo::exists(d.filePath("noexttxt")));
}

}  // namespace
}  // namespace orbet
