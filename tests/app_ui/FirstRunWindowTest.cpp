#include <QCoreApplication>
#include <QScreen>

#include "Form1Fixture.h"
#include "app/ui/Shutdown.h"
#include "platform/Twips.h"

namespace orbet::test {
namespace {

int iniValue(const QByteArray& ini, const QByteArray& key) {
    for (const QByteArray& line : ini.split('\n'))
        if (line.startsWith(key + '=')) return line.mid(key.size() + 1).trimmed().toInt();
    return -1;
}

// A first run (no settings file, as after installing the package) opens at
// a size the panes and the toolbar can use, not at the window's minimum; the
// first orderly end remembers it, and the next start comes back to it.
TEST_F(Form1Test, AFirstRunOpensAtTwoThirdsOfTheScreenCentredAndIsRemembered) {
    Form1& f = start();
    f.show();
    QCoreApplication::processEvents();
    const QRect free = f.screen()->availableGeometry();
    EXPECT_LE(std::abs(f.width() - free.width() * 2 / 3), 2) << f.width();
    EXPECT_LE(std::abs(f.height() - free.height() * 2 / 3), 2) << f.height();
    const QPoint off = f.frameGeometry().center() - free.center(); // whole twips and pixels round apart
    EXPECT_LE(std::abs(off.x()), 2);
    EXPECT_LE(std::abs(off.y()), 2);
    EXPECT_GT(f.width(), f.minimumWidth());
    EXPECT_GT(f.height(), f.minimumHeight());
    const QSize first = f.size();

    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    const QByteArray ini = savedIni();
    EXPECT_LE(std::abs(twips::toPixels(iniValue(ini, "Width")) - first.width()), 1);
    EXPECT_LE(std::abs(twips::toPixels(iniValue(ini, "Height")) - first.height()), 1);

    form_.reset();
    Form1& again = start();
    again.show();
    QCoreApplication::processEvents();
    EXPECT_LE(std::abs(again.width() - first.width()), 1);
    EXPECT_LE(std::abs(again.height() - first.height()), 1);
}

} // namespace
} // namespace orbet::test
