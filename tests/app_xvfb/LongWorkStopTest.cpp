#include <deque>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include "crypto/BinAngsDL.h"
#include "crypto/EncryptionCommands.h"
#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "platform/ui/QtPrompter.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

constexpr qint64 kMiB = 1 << 20;

// The program's own prompter, so the long work runs under its real
// progress dialog, with the file dialogs and questions answered from a
// script instead of shown.
class DialogPrompter : public QtPrompter {
  public:
    using QtPrompter::QtPrompter;
    std::deque<QString> replies;
    QStringList said;

    Answer message(const QString& text, const QString&, Buttons buttons, Icon,
                   std::optional<Answer>) override {
        said << text;
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return next(); }
    std::optional<QString> password(const QString&, const QString&) override { return next(); }
    QString openFile(const FileDialogRequest&) override { return next(); }
    QString saveFile(const FileDialogRequest&) override { return next(); }

  private:
    QString next() {
        if (replies.empty()) return {};
        QString r = replies.front();
        replies.pop_front();
        return r;
    }
};

// Clicks the progress dialog's 中止 with the X server's own pointer
// (xdotool), once the dialog is up, placed and its bar has moved: the click
// reaches the program as the user's would, through its event queue.
class StopClicker {
  public:
    explicit StopClicker(QWidget& window) : window_(window) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { look(); });
        poll_.start(20);
    }
    bool clicked() const { return clicked_; }
    bool sent() const { return xdotool_.state() == QProcess::NotRunning && clicked_; }

  private:
    void look() {
        auto* dialog = window_.findChild<QProgressDialog*>();
        if (clicked_ || !dialog || !dialog->isVisible() || !dialog->windowHandle() ||
            !dialog->windowHandle()->isExposed())
            return;
        auto* bar = dialog->findChild<QProgressBar*>();
        auto* stop = dialog->findChild<QPushButton*>();
        if (!bar || !stop || bar->value() <= 0) return;
        // The window manager places a new window in its own time.
        const QPoint at = stop->mapToGlobal(stop->rect().center());
        if (at != lastAt_) {
            lastAt_ = at;
            return;
        }
        clicked_ = true;
        poll_.stop();
        xdotool_.start(QStringLiteral("xdotool"),
                       {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

    QWidget& window_;
    QTimer poll_;
    QProcess xdotool_;
    QPoint lastAt_{-1, -1};
    bool clicked_ = false;
};

class LongWorkStopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs the X server (scripts/test runs xvfb-run)";
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs xdotool (scripts/deps.sh installs it)";
        ASSERT_TRUE(dir_.isValid());
        window_.resize(600, 400);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        bin_.setTitleName(state_.title);
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList names() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Runs a command and waits until its work has ended one way or the
    // other: the stop said, or the old file replaced.
    void runAndStop(const std::function<void()>& command, const QString& stoppedText, const QString& target,
                    const QByteArray& old) {
        StopClicker clicker(window_);
        command();
        const bool ended = QTest::qWaitFor(
            [&] { return prompter_.said.contains(stoppedText) || QFileInfo(target).size() != old.size(); },
            300000);
        ASSERT_TRUE(ended);
        ASSERT_TRUE(clicker.clicked()) << "the progress dialog never came up";
        QTest::qWaitFor([&] { return clicker.sent(); }, 10000);
    }

    QTemporaryDir dir_;
    QWidget window_;
    DialogPrompter prompter_{&window_};
    ProgramState state_;
    BinAngsDL bin_{prompter_};
    EncryptionCommands commands_{prompter_, state_, bin_};
};

// A large file protected over an older protected file, stopped by a real
// click on 中止: the older file stays byte for byte and nothing new is left.
TEST_F(LongWorkStopTest, ProtectStoppedByAClickKeepsTheOldFile) {
    {
        QFile big(path("big.bin"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(1536 * kMiB)); // sparse: made at once, read fast
    }
    const QByteArray old("the older protected file");
    ASSERT_TRUE(writeAll(path("old.ang"), old));
    state_.currentFilePath = path("big.bin");
    prompter_.replies = {path("old.ang"), QStringLiteral("鍵")};
    runAndStop([&] { commands_.PasAng(); }, EncryptionCommands::protectStoppedMessage(), path("old.ang"),
               old);
    EXPECT_EQ(readAll(path("old.ang")), old);
    EXPECT_EQ(names(), (QStringList{"big.bin", "old.ang"}));
    EXPECT_EQ(prompter_.said.back(), EncryptionCommands::protectStoppedMessage());
}

// The same for restoring over an older file of the stored name.
TEST_F(LongWorkStopTest, RestoreStoppedByAClickKeepsTheOldFile) {
    QByteArray block(kMiB, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char(i * 13 % 251);
    {
        QFile big(path("big.bin"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        for (int m = 0; m < 400; ++m)
            ASSERT_EQ(big.write(block), block.size());
    }
    ScriptedPrompter quiet;
    BinAngsDL maker(quiet);
    maker.setPass(QStringLiteral("鍵"));
    maker.setFilename(QStringLiteral("big.bin"));
    ASSERT_EQ(maker.ProtectFile(path("big.bin"), path("big.ang")), BinAngsDL::Protected::Written);
    const QByteArray old("the older restored file");
    ASSERT_TRUE(writeAll(path("big.bin"), old));
    prompter_.replies = {path("big.ang"), QStringLiteral("鍵")};
    runAndStop([&] { commands_.PassHuku(); }, EncryptionCommands::restoreStoppedMessage(), path("big.bin"),
               old);
    EXPECT_EQ(readAll(path("big.bin")), old);
    EXPECT_EQ(names(), (QStringList{"big.ang", "big.bin"}));
    EXPECT_EQ(prompter_.said.back(), EncryptionCommands::restoreStoppedMessage());
}

} // namespace
} // namespace orbet::test
