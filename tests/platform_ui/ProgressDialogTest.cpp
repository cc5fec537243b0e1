#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/ui/QtProgress.h"
#include "platform/ui/QtPrompter.h"

namespace orbet {
namespace {

// A window that counts how often it was painted.
class Counting : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Steps of work, each a few milliseconds long, for about `ms`.
void work(Progress& p, int ms, qint64& done, qint64 step = 1) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QThread::msleep(5);
        done += step;
        p.advance(done, QStringLiteral("step %1").arg(done));
    }
}

QProgressDialog* dialogOf(QWidget& window) {
    return window.findChild<QProgressDialog*>();
}

TEST(ProgressDialog, ShowsPastHalfASecondOverItsWindowAndItsButtonStops) {
    Counting window;
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QtPrompter prompter(&window);

    // A job that ends within half a second shows no dialog, and the window
    // still repaints meanwhile.
    const auto quick = prompter.progress();
    quick->begin(QStringLiteral("t"), QStringLiteral("x"), 12);
    const int paintsBefore = window.paints;
    window.update();
    for (int step = 1; step <= 12; ++step) {
        QThread::msleep(5);
        quick->advance(step, {});
    }
    EXPECT_EQ(dialogOf(window), nullptr);
    EXPECT_GT(window.paints, paintsBefore) << "the window repaints while the work runs";
    quick->end();

    const auto progress = prompter.progress();
    QElapsedTimer clock;
    clock.start();
    progress->begin(QStringLiteral("フォルダのコピー"), QStringLiteral("始めます"), 1000);
    qint64 done = 0;
    work(*progress, 400, done);
    if (clock.elapsed() < QtProgress::kShowAfterMs) EXPECT_EQ(dialogOf(window), nullptr);
    work(*progress, 300, done);
    QProgressDialog* dialog = dialogOf(window);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->parentWidget(), &window);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("フォルダのコピー"));
    EXPECT_TRUE(dialog->labelText().startsWith(QStringLiteral("step ")));
    EXPECT_GT(dialog->value(), 0);
    EXPECT_LE(dialog->value(), int(done));
    EXPECT_EQ(dialog->maximum(), 1000);
    const int paintsUnder = window.paints;
    window.update();
    work(*progress, 100, done);
    EXPECT_GT(window.paints, paintsUnder) << "the window repaints under the dialog";

    QPushButton* stop = dialog->findChild<QPushButton*>();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(), QStringLiteral("中止"));
    EXPECT_TRUE(progress->advance(++done, {}));
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(progress->advance(++done, {}));
    EXPECT_FALSE(progress->advance(++done, {})) << "a stop holds";
    progress->end();
    EXPECT_EQ(dialogOf(window), nullptr);
}

TEST(ProgressDialog, CountsBeyondTheDialogsRangeInCoarserSteps) {
    QWidget window;
    window.show();
    QtPrompter prompter(&window);
    const auto progress = prompter.progress();
    const qint64 total = 5'000'000'000LL;
    progress->begin(QStringLiteral("t"), QStringLiteral("x"), total);
    qint64 done = 0;
    work(*progress, 700, done, total / 400);
    QProgressDialog* dialog = dialogOf(window);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_GT(dialog->maximum(), 1'000'000'000);
    // The bar's fill follows the share done.
    const double shown = double(dialog->value()) / dialog->maximum();
    EXPECT_GT(shown, 0.0);
    EXPECT_LE(shown, double(done) / total + 1e-6);
    EXPECT_GT(shown, double(done) / total - 0.1);
    progress->end();
}

// Work whose steps come seldom still shows its dialog and moves its bar;
// work whose steps come often runs the window's events only now and then.
TEST(ProgressDialog, SeldomStepsStillShowAndFrequentOnesRunTheEventsOnlyNowAndThen) {
    QWidget window;
    window.show();
    QtPrompter prompter(&window);
    const auto seldom = prompter.progress();
    seldom->begin(QStringLiteral("t"), QStringLiteral("x"), 20);
    for (int step = 1; step <= 12; ++step) {
        QThread::msleep(QtProgress::kUpdateEveryMs + 20);
        seldom->advance(step, {});
    }
    QProgressDialog* dialog = dialogOf(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->value(), 12);
    seldom->end();

    int turns = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&turns] { ++turns; });
    ticks.start(0);
    const auto frequent = prompter.progress();
    frequent->begin(QStringLiteral("t"), QStringLiteral("x"), 1000);
    QElapsedTimer clock;
    clock.start();
    for (int step = 1; step <= 1000; ++step)
        frequent->advance(step, {});
    const qint64 took = clock.elapsed();
    frequent->end();
    EXPECT_LE(turns, 1 + took / QtProgress::kUpdateEveryMs) << "steps: 1000, took " << took << " ms";
}

} // namespace
} // namespace orbet
