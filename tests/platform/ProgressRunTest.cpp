#include <gtest/gtest.h>

#include "platform/Progress.h"
#include "platform/ScriptedPrompter.h"

namespace orbet {
namespace {

// The recording progress the tests of long work rely on, and the run that
// ends a progress once whichever way the work leaves.
TEST(ProgressRun, EndsOnceAndRemembersAStop) {
    ScriptedPrompter prompter;
    prompter.stopProgressAt(3);
    EXPECT_EQ(prompter.pending(), 1) << "a stop never reached is an unused script";
    {
        const auto progress = prompter.progress();
        ProgressRun run(*progress, QStringLiteral("title"), QStringLiteral("text"), 10);
        ASSERT_EQ(prompter.progresses().size(), 1u);
        EXPECT_EQ(prompter.progresses()[0].ends, 0);
        EXPECT_TRUE(run.advance(1, QStringLiteral("one")));
        EXPECT_TRUE(run.advance(2));
        EXPECT_FALSE(run.stopped());
        EXPECT_FALSE(run.advance(3));
        EXPECT_TRUE(run.stopped());
        // Once stopped, the work is not asked to go on, nor the user again.
        EXPECT_FALSE(run.advance(4));
        run.finish();
        EXPECT_EQ(prompter.progresses()[0].ends, 1);
    }
    const auto& r = prompter.progresses()[0];
    EXPECT_EQ(r.ends, 1) << "finished, then left: ended once";
    EXPECT_EQ(r.title, QStringLiteral("title"));
    EXPECT_EQ(r.text, QStringLiteral("text"));
    EXPECT_EQ(r.total, 10);
    EXPECT_EQ(r.steps, (std::vector<qint64>{1, 2, 3}));
    EXPECT_EQ(r.texts, (QStringList{"one", "", ""}));
    EXPECT_EQ(r.stoppedAt, 3);
    EXPECT_EQ(prompter.pending(), 0);

    // The next job runs to its end unless stopped again.
    {
        const auto progress = prompter.progress();
        ProgressRun run(*progress, QStringLiteral("t"), QStringLiteral("x"), 0);
        for (int i = 1; i <= 5; ++i)
            EXPECT_TRUE(run.advance(i));
    }
    EXPECT_EQ(prompter.progresses()[1].stoppedAt, 0);
    EXPECT_EQ(prompter.progresses()[1].ends, 1);
}

} // namespace
} // namespace orbet
