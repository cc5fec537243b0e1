#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "XDriver.h"
#include "support/TestSupport.h"

// The real program's options, as a shell user meets them.
namespace orbet::test {
namespace {

struct Outcome {
    int code = -1;
    QByteArray out, err;
};

Outcome run(const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(buildDir() + QStringLiteral("/orbet"), args);
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

class CommandLineOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("ORBET_HOME"), home_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
        // No display at all: an answer that needed a window would fail here.
        env_.remove(QStringLiteral("DISPLAY"));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env_.remove(QLatin1String(v));
        env_.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    }
    QTemporaryDir home_;
    QProcessEnvironment env_;
};

// The answers speak the language the window would: the desktop's unless
// the user chose one.
TEST_F(CommandLineOptions, TheAnswersSpeakTheUsersLanguage) {
    env_.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    const Outcome help = run({QStringLiteral("--help")}, env_);
    EXPECT_EQ(help.code, 0) << help.err.constData();
    EXPECT_TRUE(help.out.startsWith("Usage: orbet")) << help.out.constData();
    env_.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    const Outcome unknown = run({QStringLiteral("--bogus")}, env_);
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.err.startsWith("orbet: --bogus: unknown option\nUsage: orbet"))
        << unknown.err.constData();

    ASSERT_TRUE(QDir().mkpath(home_.filePath(QStringLiteral("config/Orbet"))));
    ASSERT_TRUE(
        writeAll(home_.filePath(QStringLiteral("config/Orbet/Orbet.conf")), "[Interface]\nLanguage=ja\n"));
    const Outcome chosen = run({QStringLiteral("--help")}, env_);
    EXPECT_TRUE(chosen.out.startsWith("使い方: orbet")) << chosen.out.constData();
}

TEST_F(CommandLineOptions, HelpAndVersionAnswerOnStandardOutputWithoutAWindow) {
    const Outcome help = run({QStringLiteral("--help")}, env_);
    EXPECT_EQ(help.code, 0) << help.err.constData();
    EXPECT_TRUE(help.out.startsWith("使い方: orbet")) << help.out.constData();
    EXPECT_TRUE(help.out.contains("/T")) << help.out.constData();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.constData();

    const Outcome version = run({QStringLiteral("--version")}, env_);
    EXPECT_EQ(version.code, 0) << version.err.constData();
    // The version the About window shows ("Orbet Version1.24").
    EXPECT_EQ(version.out, QByteArray("Orbet 1.24\n"));
    // Nothing was written: no settings folder came into being.
    EXPECT_TRUE(QDir(home_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(CommandLineOptions, AnUnknownOptionGivesTheUsageOnStandardErrorAndStatusTwo) {
    const Outcome unknown = run({QStringLiteral("--unknown")}, env_);
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.out.isEmpty()) << unknown.out.constData();
    EXPECT_TRUE(unknown.err.contains("--unknown")) << unknown.err.constData();
    EXPECT_TRUE(unknown.err.contains("使い方: orbet")) << unknown.err.constData();
}

TEST_F(CommandLineOptions, AFileNamedLikeAnOptionOpensAfterTheDoubleDash) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (scripts/test runs xvfb-run)";
    QTemporaryDir data;
    ASSERT_TRUE(writeAll(QDir(data.path()).filePath("--help"), "a text"));
    QProcessEnvironment env = env_;
    env.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(data.path());
    program.start(buildDir() + QStringLiteral("/orbet"), {QStringLiteral("--"), QStringLiteral("--help")});
    // The main window opens on the file's folder instead of a usage.
    const QString window = waitForWindow(QStringLiteral("^Orbet - "), 60000, &program);
    EXPECT_FALSE(window.isEmpty()) << program.readAllStandardOutput().constData();
    EXPECT_TRUE(xdotool({QStringLiteral("getwindowname"), window}).contains(data.path()));
    program.kill();
    program.waitForFinished();
}

} // namespace
} // namespace orbet::test
