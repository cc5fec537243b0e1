#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Keep the per-user store and config folders away from the real ones,
    // and away from those of the other test programs running meanwhile: the
    // toolkit's test folders live in the home folder, one per program here.
    QTemporaryDir home;
    if (home.isValid()) qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
