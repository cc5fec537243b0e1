#include <atomic>
#include <thread>

#include <QElapsedTimer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include "platform/ui/QtProgress.h"
#include "platform/ui/QtPrompter.h"

namespace orbet {
namespace {

QProgressDialog* dialogOf(QWidget& window) {
    return window.findChild<QProgressDialog*>();
}

bool visibleDialog(QWidget& window) {
    QProgressDialog* d = dialogOf(window);
    return d && d->isVisible();
}

// Steps until the progress says stop, as long work does.
void stepUntilStopped(Progress& p, qint64 total, std::atomic<qint64>& done) {
    p.begin(QStringLiteral("フォルダのコピー"), QStringLiteral("始めます"), total);
    while (p.advance(done + 1, QStringLiteral("step %1").arg(done + 1))) {
        ++done;
        QThread::msleep(2);
    }
    p.end();
}

TEST(ProgressDialog, WorkRunsAwayFromTheWindowWhichRefusesInputUntilItEnds) {
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("b"), &window);
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    QtPrompter prompter(&window);

    std::atomic<bool> release{false};
    std::atomic<bool> onWorker{false};
    int finished = 0;
    QElapsedTimer clock;
    clock.start();
    prompter.runLongWork(
        [&](Progress& p) {
            onWorker = QThread::currentThread() != window.thread();
            p.begin(QStringLiteral("t"), QStringLiteral("x"), 10);
            while (!release)
                QThread::msleep(1);
            p.advance(10, {});
            p.end();
        },
        [&] { ++finished; });
    // The window's thread is free while the work runs: it gets here at once.
    EXPECT_EQ(finished, 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 0) << "the window takes no input while its work runs";
    if (clock.elapsed() < QtProgress::kShowAfterMs - 100) EXPECT_FALSE(visibleDialog(window));
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 30000));
    EXPECT_TRUE(onWorker);
    EXPECT_EQ(dialogOf(window), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1) << "and takes it again afterwards";
}

TEST(ProgressDialog, ShowsPastHalfASecondOverItsWindowAndItsButtonStopsTheWorker) {
    QWidget window;
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QtPrompter prompter(&window);
    std::atomic<qint64> done{0};
    std::atomic<bool> ended{false};
    bool dialogGoneFirst = false;
    int finished = 0;
    prompter.runLongWork(
        [&](Progress& p) {
            stepUntilStopped(p, 100000, done);
            ended = true;
        },
        [&] {
            dialogGoneFirst = dialogOf(window) == nullptr;
            ++finished;
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return visibleDialog(window) && done > 0; }, 30000));
    QProgressDialog* dialog = dialogOf(window);
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->parentWidget(), &window);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("フォルダのコピー"));
    QTest::qWaitFor([&] { return dialog->labelText().startsWith(QStringLiteral("step ")); }, 5000);
    EXPECT_TRUE(dialog->labelText().startsWith(QStringLiteral("step ")));
    auto* bar = dialog->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 100000);
    QTest::qWaitFor([&] { return bar->value() > 0; }, 5000);
    EXPECT_GT(bar->value(), 0);
    EXPECT_LE(bar->value(), done);

    QPushButton* stop = dialog->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(), QStringLiteral("中止"));
    EXPECT_FALSE(ended);
    QTest::mouseClick(stop, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 30000));
    EXPECT_TRUE(ended);
    EXPECT_TRUE(dialogGoneFirst) << "the report comes after the dialog";
}

TEST(ProgressDialog, WhileTheResultIsCommittedItSaysSoAndCannotBeStopped) {
    QWidget window;
    window.show();
    QtPrompter prompter(&window);
    std::atomic<bool> committing{false};
    std::atomic<bool> release{false};
    bool stoppedAfter = false;
    int finished = 0;
    prompter.runLongWork(
        [&](Progress& p) {
            p.begin(QStringLiteral("t"), QStringLiteral("writing"), 10);
            p.advance(10, {});
            p.committing();
            committing = true;
            while (!release)
                QThread::msleep(1);
            stoppedAfter = !p.advance(10, {});
            p.end();
        },
        [&] { ++finished; });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return visibleDialog(window) && dialogOf(window)->labelText() == QtProgress::committingText();
        },
        30000));
    QProgressDialog* dialog = dialogOf(window);
    const auto buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* b : buttons)
        EXPECT_FALSE(b->isVisible()) << "no stop is offered";
    QTest::keyClick(dialog, Qt::Key_Escape);
    dialog->close();
    QTest::qWait(2 * QtProgress::kUpdateEveryMs);
    EXPECT_TRUE(dialog->isVisible());
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 30000));
    EXPECT_FALSE(stoppedAfter);
}

TEST(ProgressDialog, CountsBeyondTheDialogsRangeInCoarserSteps) {
    QWidget window;
    window.show();
    QtPrompter prompter(&window);
    const qint64 total = 5'000'000'000LL;
    std::atomic<bool> release{false};
    int finished = 0;
    prompter.runLongWork(
        [&](Progress& p) {
            p.begin(QStringLiteral("t"), QStringLiteral("x"), total);
            while (!release && p.advance(total / 4, {}))
                QThread::msleep(1);
            p.end();
        },
        [&] { ++finished; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return visibleDialog(window); }, 30000));
    auto* bar = dialogOf(window)->findChild<QProgressBar*>();
    QTest::qWaitFor([&] { return bar->value() > 0; }, 5000);
    EXPECT_GT(bar->maximum(), 1'000'000'000);
    EXPECT_NEAR(double(bar->value()) / bar->maximum(), 0.25, 1e-6);
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 30000));
}

TEST(ProgressDialog, AWindowClosedUnderTheWorkStopsItAndWaitsForIt) {
    auto* window = new QWidget;
    window->show();
    QtPrompter prompter(window);
    std::atomic<qint64> done{0};
    std::atomic<bool> ended{false};
    int finished = 0;
    prompter.runLongWork(
        [&](Progress& p) {
            stepUntilStopped(p, 0, done);
            ended = true;
        },
        [&] { ++finished; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done > 3; }, 30000));
    delete window;
    EXPECT_TRUE(ended) << "the work ended before the window's end";
    QTest::qWait(50);
    EXPECT_EQ(finished, 0);
}

} // namespace
} // namespace orbet
