#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/core/MainLayout.h"
#include "app/core/MenuTable.h"
#include "app/core/StartupRules.h"

namespace orbet {
namespace {

TEST(CommandLine, ClassifiesWhatTheTextNames) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a b.jpg"));
    QFile(file).open(QIODevice::WriteOnly);

    const CommandLineTarget f = resolveCommandLine(file);
    EXPECT_EQ(f.kind, CommandLineTarget::Kind::File);
    EXPECT_EQ(f.folder, dir.path() + u'/');
    EXPECT_EQ(f.fileName, QStringLiteral("a b.jpg"));

    const CommandLineTarget d = resolveCommandLine(dir.path());
    EXPECT_EQ(d.kind, CommandLineTarget::Kind::Folder);
    EXPECT_EQ(d.folder, dir.path());

    // Quotes are not removed, "/T" names nothing, and neither does a missing path.
    for (const QString& none :
         {QStringLiteral("\"") + file + u'"', QStringLiteral("/T"), dir.filePath("missing"), QString()})
        EXPECT_EQ(resolveCommandLine(none).kind, CommandLineTarget::Kind::None) << none.toStdString();
}

TEST(CommandLine, RelativeNamesAreTakenFromTheWorkingFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QFile(dir.filePath(QStringLiteral("photo.jpg"))).open(QIODevice::WriteOnly);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path() + QStringLiteral("/sub")));
    const CommandLineTarget f = resolveCommandLine(QStringLiteral("../photo.jpg"));
    const CommandLineTarget d = resolveCommandLine(QStringLiteral("."));
    QDir::setCurrent(dir.path());
    const CommandLineTarget g = resolveCommandLine(QStringLiteral("photo.jpg"));
    QDir::setCurrent(before);
    EXPECT_EQ(f.kind, CommandLineTarget::Kind::File);
    EXPECT_EQ(f.folder, dir.path() + u'/');
    EXPECT_EQ(f.fileName, QStringLiteral("photo.jpg"));
    EXPECT_EQ(g.folder, dir.path() + u'/');
    EXPECT_EQ(d.kind, CommandLineTarget::Kind::Folder);
    EXPECT_EQ(d.folder, dir.path() + QStringLiteral("/sub"));
}

TEST(CommandLine, ResidentSwitchIsExact) {
    EXPECT_TRUE(isResidentSwitch(QStringLiteral("/T")));
    for (const char* other : {"/t", " /T", "/T ", "/T x", ""})
        EXPECT_FALSE(isResidentSwitch(QString::fromLatin1(other)));
    EXPECT_EQ(commandLineText({"orbet", "/a/b c", "d"}), QStringLiteral("/a/b c d"));
    EXPECT_EQ(commandLineText({"orbet"}), QString());
}

TEST(CommandLine, OptionsAreReadUntilTheDoubleDash) {
    using K = CommandLineRequest::Kind;
    EXPECT_EQ(readCommandLine({"orbet", "--help"}).kind, K::Help);
    EXPECT_EQ(readCommandLine({"orbet", "/a", "--version"}).kind, K::Version);
    const CommandLineRequest unknown = readCommandLine({"orbet", "--colour"});
    EXPECT_EQ(unknown.kind, K::Unknown);
    EXPECT_EQ(unknown.text, QStringLiteral("--colour"));
    // After "--" everything is a name, options included; a lone dash or
    // "/T" is never an option.
    const CommandLineRequest name = readCommandLine({"orbet", "--", "--help", "x"});
    EXPECT_EQ(name.kind, K::Run);
    EXPECT_EQ(name.text, QStringLiteral("--help x"));
    EXPECT_EQ(readCommandLine({"orbet", "/T"}).text, QStringLiteral("/T"));
    EXPECT_EQ(readCommandLine({"orbet", "-", "./--help"}).text, QStringLiteral("- ./--help"));
    EXPECT_EQ(readCommandLine({"orbet"}).kind, K::Run);
    EXPECT_EQ(readCommandLine({"orbet", "--", "--"}).text, QStringLiteral("--"));
}

TEST(WindowGeometry, RestoredRectangleIsWidenedAndBroughtOnScreen) {
    const int screenW = 19200, screenH = 11520;
    // Only LastFilter in the file: the rectangle is all zeros.
    TwipsRect r = restoredWindowRect({}, 2000, screenW, screenH);
    EXPECT_EQ(r, (TwipsRect{0, 0, 5190, 4700}));

    // Larger than the screen: cut to it (a settings file may say 5e9).
    EXPECT_EQ(restoredWindowRect({0, 0, 16777215, 16777215}, 2000, screenW, screenH),
              (TwipsRect{0, 0, screenW, screenH}));

    // Below the screen: re-centred vertically, left edge kept.
    r = restoredWindowRect({300, 20000, 9000, 7000}, 2000, screenW, screenH);
    EXPECT_EQ(r, (TwipsRect{300, 2260, 9000, 7000}));

    // Wholly left of the screen: re-centred horizontally.
    r = restoredWindowRect({-9500, 100, 9000, 7000}, 2000, screenW, screenH);
    EXPECT_EQ(r.left, 9600 - 4500);
    EXPECT_EQ(r.top, 100);

    // Partly off screen stays where it is.
    r = restoredWindowRect({-8000, -6000, 9000, 7000}, 2000, screenW, screenH);
    EXPECT_EQ(r.left, -8000);
    EXPECT_EQ(r.top, -6000);
}

TEST(WindowGeometry, AFirstRunTakesTwoThirdsOfTheFreeAreaCentredInIt) {
    // 1280 x 1024 at 96 dots per inch, a panel of 32 pixels at the top.
    EXPECT_EQ(firstRunWindowRect({0, 480, 19200, 14880}), (TwipsRect{3200, 480 + 2480, 12800, 9920}));
    // An odd free area: the window is a whole number of twips, centred to within one.
    const TwipsRect r = firstRunWindowRect({-1000, 0, 10001, 7000});
    EXPECT_EQ(r.width, 6667);
    EXPECT_EQ(r.height, 4666);
    EXPECT_EQ(r.left, -1000 + (10001 - 6667) / 2);
    EXPECT_EQ(r.top, 1167);
}

TEST(WindowGeometry, CentringRoundsHalvesToEven) {
    EXPECT_EQ(centredStart(11520, 3000), 5760 - 1500);
    EXPECT_EQ(centredStart(11521, 3001), 5760 - 1500); // 5760.5 and 1500.5 lose their remainders
    EXPECT_EQ(centredStart(100.5, 0), 50);             // 100.5 rounds to 100
}

TEST(MainLayoutRules, MinimumsToolbarRowsAndColumns) {
    MainLayout l = computeMainLayout(4000, 6000, 3000, 2000, 0);
    EXPECT_EQ(l.width, 5190);
    EXPECT_EQ(l.toolbarRows, 2);
    EXPECT_EQ(computeMainLayout(8300, 6000, 3000, 2000, 0).toolbarRows, 1);
    EXPECT_EQ(computeMainLayout(8299, 6000, 3000, 2000, 0).toolbarRows, 2);
    EXPECT_EQ(computeMainLayout(8000, 1000, 3000, 2000, 0).height, 5200);

    l = computeMainLayout(8000, 6000, 3000, 2000, 0);
    EXPECT_EQ(l.dir1.width, 4000);
    EXPECT_EQ(l.file1.left, 4050);
    EXPECT_EQ(l.file1.width, 3850);
    EXPECT_EQ(l.bytes.left, 4150);
    EXPECT_EQ(l.drive1.width, 2000);
}

TEST(MainLayoutRules, LabelsUnderTheFileListGetWholeLines) {
    // The designed 165 twips a line: the list ends 495 above the bar.
    MainLayout l = computeMainLayout(8000, 6000, 3000, 2000, 0);
    EXPECT_EQ(l.file1.height, 3000 - 720 - 165);
    EXPECT_EQ(l.bytes, (TwipsRect{4150, 390 + l.file1.height, 3850, 165}));
    EXPECT_EQ(l.info, (TwipsRect{4150, l.bytes.top + 165, 3850, 330}));
    // A font needing 225 a line shortens the list; the labels still end at the bar.
    l = computeMainLayout(8000, 6000, 3000, 2000, 0, 225);
    EXPECT_EQ(l.file1.height, 3000 - 720 - 165 - 180);
    EXPECT_EQ(l.bytes.height, 225);
    EXPECT_EQ(l.info.top, l.bytes.top + 225);
    EXPECT_EQ(l.info.top + l.info.height, 3000);
}

TEST(MainLayoutRules, TheBarNeverDriftsOverRepeatedResizes) {
    int bar = 3000;
    for (int i = 0; i < 50; ++i)
        bar = computeMainLayout(9000 + i, 7000 - i, bar, 2000, 0).bar.top;
    EXPECT_EQ(bar, 3000);
}

TEST(Menus, EveryNameIsUniqueAndSettingsItemsStartAsDesigned) {
    QStringList names;
    int checked = 0;
    for (const MenuEntry& e : menuTable()) {
        EXPECT_FALSE(names.contains(QLatin1String(e.name))) << e.name;
        names.append(QLatin1String(e.name));
        if (e.checked) ++checked;
    }
    EXPECT_EQ(checked, 3); // SetAutoPD, InBaNotD, MunuASet
    EXPECT_EQ(std::count_if(menuTable().begin(), menuTable().end(),
                            [](const MenuEntry& e) { return e.depth == 0; }),
              8);
}

TEST(Menus, EveryCommandIsOneItemWithoutSubItems) {
    const auto& table = menuTable();
    std::vector<int> seen(kCommandCount, 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const MenuEntry& e = table[i];
        if (!e.command) continue;
        ++seen[std::size_t(*e.command)];
        EXPECT_STREQ(e.name, commandName(*e.command));
        EXPECT_NE(e.caption, QStringLiteral("-")) << e.name;
        EXPECT_FALSE(i + 1 < table.size() && table[i + 1].depth > e.depth) << e.name;
    }
    for (int c = 0; c < kCommandCount; ++c)
        EXPECT_EQ(seen[c], 1) << commandName(Command(c));
    // Menus and separators are no commands; every item that is neither is one.
    for (std::size_t i = 0; i < table.size(); ++i) {
        const MenuEntry& e = table[i];
        const bool parent = i + 1 < table.size() && table[i + 1].depth > e.depth;
        EXPECT_EQ(bool(e.command), e.depth > 0 && !parent && e.caption != QStringLiteral("-")) << e.name;
    }
    EXPECT_STREQ(commandName(Command::Dexit), "Dexit");
}

} // namespace
} // namespace orbet
