#include <QCoreApplication>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

#include "app/core/ShowController.h"

namespace orbet {
namespace {

// The controller alone: futures the test finishes by hand, and the events
// they post run when the test lets them.
class ShowControllerTest : public ::testing::Test {
  protected:
    static void letEventsRun() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    ShowController shows_{
        {}, [](const QString&, JpegCornerHandOff*, const std::atomic<bool>*) { return QImage(); }, {}};
};

TEST_F(ShowControllerTest, OnlyTheNewestRequestsResultReachesThePane) {
    QPromise<int> older;
    QPromise<int> newer;
    std::vector<int> taken;
    std::vector<int> dropped;
    const auto take = [&](int v) { taken.push_back(v); };
    const auto drop = [&](int v) { dropped.push_back(v); };

    QPromise<int> stoppable;
    const std::shared_ptr<std::atomic<bool>> olderCancel = shows_.begin().cancel;
    shows_.whenReady<int>(older.future(), take, drop);
    shows_.stopWhenOvertaken(stoppable.future());
    EXPECT_TRUE(shows_.busy());
    shows_.begin();
    EXPECT_TRUE(olderCancel->load()); // the older's work is told to stop
    EXPECT_TRUE(stoppable.future().isCanceled());
    EXPECT_FALSE(older.future().isCanceled());
    EXPECT_FALSE(shows_.current().cancel->load());
    shows_.whenReady<int>(newer.future(), take, drop);

    newer.start();
    newer.addResult(2);
    newer.finish();
    older.start();
    older.addResult(1);
    older.finish();
    letEventsRun();
    EXPECT_EQ(taken, std::vector<int>{2});
    EXPECT_EQ(dropped, std::vector<int>{1});
    EXPECT_FALSE(shows_.busy());
}

TEST_F(ShowControllerTest, WorkAlreadyDoneIsTakenAtOnceAndCancelledWorkNever) {
    int taken = 0;
    shows_.begin();
    shows_.whenReady<int>(QtFuture::makeReadyFuture(7), [&](int v) { taken = v; });
    EXPECT_EQ(taken, 7);
    EXPECT_FALSE(shows_.busy());

    QPromise<int> cancelled;
    shows_.whenReady<int>(cancelled.future(), [&](int v) { taken = v; });
    cancelled.start();
    cancelled.future().cancel();
    cancelled.finish();
    letEventsRun();
    EXPECT_EQ(taken, 7);
    EXPECT_FALSE(shows_.busy());
}

TEST_F(ShowControllerTest, PendingStepsRunAfterTheEventsWaitingUnlessOvertaken) {
    std::vector<QString> order;
    shows_.begin();
    QMetaObject::invokeMethod(
        &shows_, [&] { order.push_back(QStringLiteral("waiting event")); }, Qt::QueuedConnection);
    shows_.afterPendingEvents([&] { order.push_back(QStringLiteral("step")); });
    EXPECT_TRUE(order.empty());
    letEventsRun();
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("waiting event"), QStringLiteral("step")}));

    shows_.afterPendingEvents([&] { order.push_back(QStringLiteral("overtaken")); });
    shows_.begin();
    letEventsRun();
    EXPECT_EQ(order.size(), 2u);
}

TEST_F(ShowControllerTest, WhoWaitsForTheShowWaitsForItsWorkAndForANewerShow) {
    int settled = 0;
    shows_.begin();
    shows_.whenSettled([&] { ++settled; });
    EXPECT_EQ(settled, 1); // nothing under way

    QPromise<int> first;
    shows_.whenReady<int>(first.future(), [](int) {});
    shows_.whenSettled([&] { ++settled; });
    // A newer show with no work of its own settles once the window's thread
    // is back in its loop; the first's work no longer counts.
    shows_.begin();
    EXPECT_EQ(settled, 1);
    letEventsRun();
    EXPECT_EQ(settled, 2);

    QPromise<int> second;
    shows_.whenReady<int>(second.future(), [](int) {});
    shows_.whenSettled([&] { ++settled; });
    letEventsRun();
    EXPECT_EQ(settled, 2);
    second.start();
    second.addResult(0);
    second.finish();
    letEventsRun();
    EXPECT_EQ(settled, 3);
    first.start();
    first.finish();
}

} // namespace
} // namespace orbet
