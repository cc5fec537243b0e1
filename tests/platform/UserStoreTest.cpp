#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QUuid>

#include <gtest/gtest.h>

#include "platform/UserStore.h"

namespace orbet {
namespace {

// The test-mode store outlives the run, so each test writes a section of its
// own and removes it afterwards.
class UserStoreTest : public ::testing::Test {
protected:
    void TearDown() override {
        QSettings raw(userStoreFile(), QSettings::IniFormat);
        raw.remove(section);
    }
    const QString section = QStringLiteral("Test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
};

TEST_F(UserStoreTest, LivesUnderTheTestModeConfigFolder) {
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_TRUE(userStoreFile().startsWith(config + u'/')) << userStoreFile().toStdString();
    EXPECT_FALSE(userStoreFile().startsWith(QDir::homePath() + "/.config/")) << userStoreFile().toStdString();
}

TEST_F(UserStoreTest, RoundTripAndMissingValues) {
    EXPECT_EQ(readStoreValue(section, "Task"), "");
    ASSERT_TRUE(writeStoreValue(section, "Task", "1"));
    ASSERT_TRUE(writeStoreValue(section, "Path", "/home/ユーザー/susie plug-ins"));
    EXPECT_EQ(readStoreValue(section, "Task"), "1");
    EXPECT_EQ(readStoreValue(section, "Path"), "/home/ユーザー/susie plug-ins");
    EXPECT_EQ(readStoreValue(section, "Other"), "");
    EXPECT_EQ(readStoreValue(section + "-missing", "Task"), "");
    ASSERT_TRUE(writeStoreValue(section, "Task", "0"));
    EXPECT_EQ(readStoreValue(section, "Task"), "0");
}

TEST_F(UserStoreTest, SectionsAreGroupsOfTheOrbetStore) {
    ASSERT_TRUE(writeStoreValue(section, "Path", "/opt/susie"));
    QSettings raw(userStoreFile(), QSettings::IniFormat);
    raw.beginGroup(section);
    EXPECT_EQ(raw.value("Path").toString(), "/opt/susie");
    EXPECT_TRUE(userStoreFile().endsWith("/Orbet/Orbet.conf")) << userStoreFile().toStdString();
}

}  // namespace
}  // namespace orbet
