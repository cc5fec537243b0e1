#include <unistd.h>

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Keep the per-user store and config folders away from the real ones.
    QStandardPaths::setTestModeEnabled(true);
    // As the program does: the web engine shares graphics contexts, and as
    // root it runs without the kernel sandbox.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orbet"));
    QCoreApplication::setApplicationName(QStringLiteral("Orbet"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
