#include <unistd.h>

#include <QApplication>
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
    // As root (the test machines) the web engine starts only without its
    // kernel sandbox, which the program itself never turns off: the tests
    // turn it off for themselves. Its module is the one the build folder holds.
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("ORBET_ENGINE_DIR", ORBET_BUILD_DIR);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
