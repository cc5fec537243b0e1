#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/ProgramFolders.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

// A build folder (the executable beside pd1/) and an installed prefix
// (bin/orbet, lib/orbet/pd1) side by side in one temporary folder.
class Layouts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        const QDir root(root_.path());
        ASSERT_TRUE(root.mkpath("build/pd1") && root.mkpath("usr/bin") && root.mkpath("usr/lib/orbet/pd1"));
        build_ = root.filePath("build");
        bin_ = root.filePath("usr/bin");
        installed_ = root.filePath("usr/lib/orbet");
        perUser_ = root.filePath("home/.config/Orbet");
    }
    QTemporaryDir root_;
    QString build_, bin_, installed_, perUser_;
};

TEST_F(Layouts, ProgramFolderIsTheExecutablesOwnOrTheInstalledOne) {
    EXPECT_EQ(folders::programFolderFor(build_), build_);
    EXPECT_EQ(folders::programFolderFor(build_ + "/"), build_);
    EXPECT_EQ(folders::programFolderFor(bin_), installed_);
}

TEST_F(Layouts, SettingsFolderFollowsHomeThenPortableCopyThenPerUser) {
    // Nothing beside the program: the per-user folder.
    EXPECT_EQ(folders::settingsFolderFor(build_, {}, perUser_), perUser_);
    EXPECT_EQ(folders::settingsFolderFor(bin_, {}, perUser_), perUser_);

    // A picsys.ini beside an unpacked program makes it portable.
    ASSERT_TRUE(test::writeAll(build_ + "/picsys.ini", "LastFilter=0\r\n"));
    EXPECT_EQ(folders::settingsFolderFor(build_, {}, perUser_), build_);

    // An installed program folder is shared and read-only: a picsys.ini that
    // sits there is never taken as the user's settings.
    ASSERT_TRUE(test::writeAll(installed_ + "/picsys.ini", "LastFilter=0\r\n"));
    EXPECT_EQ(folders::settingsFolderFor(bin_, {}, perUser_), perUser_);
    ASSERT_TRUE(test::writeAll(bin_ + "/picsys.ini", "LastFilter=0\r\n"));
    EXPECT_EQ(folders::settingsFolderFor(bin_, {}, perUser_), perUser_);

    // ORBET_HOME wins over everything, made absolute and clean.
    const QString home = root_.path() + "/elsewhere/../home2/";
    EXPECT_EQ(folders::settingsFolderFor(build_, home, perUser_), root_.path() + "/home2");
    EXPECT_EQ(folders::settingsFolderFor(bin_, home, perUser_), root_.path() + "/home2");
}

TEST(PerUserFolder, SitsBesideThePerUserStore) {
    EXPECT_TRUE(folders::perUserSettingsFolder().endsWith("/Orbet"));
    EXPECT_FALSE(folders::perUserSettingsFolder().endsWith("/Orbet/Orbet"));
}

} // namespace
} // namespace orbet
