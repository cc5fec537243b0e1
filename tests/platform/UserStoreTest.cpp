#include <QSettings>
#include <QStandardPaths>
#include <QUuid>

#include <gtest/gtest.h>

#include "platform/UserStore.h"

namespace orbet {
namespace {

TEST(UserStore, RoundTripInTheTestModeConfigFolder) {
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(userStoreFile(), config + "/Orbet/Orbet.conf");

    // The test-mode store outlives the run: a section of its own, removed after.
    const QString section = QStringLiteral("Test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    EXPECT_EQ(readStoreValue(section, "Path"), "");
    ASSERT_TRUE(writeStoreValue(section, "Task", "1"));
    ASSERT_TRUE(writeStoreValue(section, "Path", "/home/ユーザー/susie plug-ins"));
    EXPECT_EQ(readStoreValue(section, "Task"), "1");
    EXPECT_EQ(readStoreValue(section, "Path"), "/home/ユーザー/susie plug-ins");
    EXPECT_EQ(readStoreValue(section, "Other"), "");

    QSettings raw(userStoreFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(section + "/Task").toString(), "1");
    raw.remove(section);
}

} // namespace
} // namespace orbet
