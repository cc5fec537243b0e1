#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/CodeFolders.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

int chmodOf(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode);
}

TEST(CodeFolders, OnlyFoldersAndFilesNoOtherUserCanWriteAreSafe) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath("own/deeper");
    ASSERT_TRUE(test::writeAll(d.filePath("own/deeper/IFx.spi"), "x"));
    EXPECT_TRUE(isSafeCodePath(d.filePath("own/deeper/IFx.spi")));
    EXPECT_TRUE(isSafeCodePath(d.filePath("own")));
    EXPECT_FALSE(isSafeCodePath(d.filePath("own/missing.spi")));

    // Writable by others: the file, or any folder above it.
    ASSERT_EQ(chmodOf(d.filePath("own/deeper/IFx.spi"), 0646), 0);
    EXPECT_FALSE(isSafeCodePath(d.filePath("own/deeper/IFx.spi")));
    ASSERT_EQ(chmodOf(d.filePath("own/deeper/IFx.spi"), 0664), 0);
    EXPECT_FALSE(isSafeCodePath(d.filePath("own/deeper/IFx.spi")));
    ASSERT_EQ(chmodOf(d.filePath("own/deeper/IFx.spi"), 0644), 0);
    ASSERT_EQ(chmodOf(d.filePath("own"), 0777), 0);
    EXPECT_FALSE(isSafeCodePath(d.filePath("own/deeper/IFx.spi")));
    EXPECT_FALSE(isSafeCodePath(d.filePath("own")));
    // A sticky folder above keeps others from replacing what is ours; the
    // folder itself, if it held the plug-ins, would not.
    ASSERT_EQ(chmodOf(d.filePath("own"), 01777), 0);
    EXPECT_TRUE(isSafeCodePath(d.filePath("own/deeper/IFx.spi")));
    EXPECT_FALSE(isSafeCodePath(d.filePath("own")));
    ASSERT_EQ(chmodOf(d.filePath("own"), 0755), 0);

    // Another user's folder, even a closed one: they could put anything there.
    ASSERT_EQ(::chown(QFile::encodeName(d.filePath("own/deeper")).constData(), 65534, 65534), 0);
    EXPECT_FALSE(isSafeCodePath(d.filePath("own/deeper/IFx.spi")));
    ASSERT_EQ(::chown(QFile::encodeName(d.filePath("own/deeper")).constData(), ::geteuid(), ::getegid()), 0);

    // Through a link, what counts is where it leads.
    ASSERT_TRUE(QFile::link(d.filePath("own/deeper"), d.filePath("via")));
    EXPECT_TRUE(isSafeCodePath(d.filePath("via/IFx.spi")));
    ASSERT_EQ(chmodOf(d.filePath("own/deeper"), 0777), 0);
    EXPECT_FALSE(isSafeCodePath(d.filePath("via/IFx.spi")));

    // A relative name is never safe, whatever folder it would mean.
    const QString started = QDir::currentPath();
    ASSERT_EQ(chmodOf(d.filePath("own/deeper"), 0755), 0);
    ASSERT_TRUE(QDir::setCurrent(d.filePath("own/deeper")));
    EXPECT_FALSE(isSafeCodePath(QStringLiteral("IFx.spi")));
    EXPECT_FALSE(isSafeCodePath(QStringLiteral(".")));
    EXPECT_FALSE(isSafeCodePath(QString()));
    QDir::setCurrent(started);
}

TEST(CodeFolders, ARelativeOrEmptyStoredPluginFolderMeansTheDefault) {
    const QString fallback = QStringLiteral("/usr/lib/orbet/susie");
    EXPECT_EQ(pluginFolderFromStore(QStringLiteral("."), fallback), fallback);
    EXPECT_EQ(pluginFolderFromStore(QStringLiteral("plugins/susie"), fallback), fallback);
    EXPECT_EQ(pluginFolderFromStore(QString(), fallback), fallback);
    EXPECT_EQ(pluginFolderFromStore(QStringLiteral("/opt/susie"), fallback), QStringLiteral("/opt/susie"));
}

} // namespace
} // namespace orbet
