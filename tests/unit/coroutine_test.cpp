// Work that waits on the window's thread: it runs until it suspends, goes on
// where it stopped when resumed, and a resume from inside or after its end
// does nothing.
#include "framework/coroutine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Steps {
    Coroutine* Work = nullptr;
    std::string Done;
    bool InsideSeen = false;
};

void ThreeSteps(void* context) {
    Steps& steps = *static_cast<Steps*>(context);
    steps.Done += "a";
    steps.InsideSeen = steps.Work->Inside();
    steps.Work->Suspend();
    steps.Done += "b";
    steps.Work->Resume(); // from inside: nothing
    steps.Work->Suspend();
    steps.Done += "c";
}

TEST(Coroutine, RunsUntilItSuspendsAndGoesOnWhereItStopped) {
    Coroutine work;
    Steps steps;
    steps.Work = &work;
    EXPECT_FALSE(work.Running());
    ASSERT_TRUE(work.Start(ThreeSteps, &steps));
    EXPECT_EQ(steps.Done, "a");
    EXPECT_TRUE(steps.InsideSeen);
    EXPECT_FALSE(work.Inside()) << "back on the caller's side";
    EXPECT_TRUE(work.Running());
    EXPECT_FALSE(work.Start(ThreeSteps, &steps)) << "one run at a time";
    work.Resume();
    EXPECT_EQ(steps.Done, "ab");
    work.Resume();
    EXPECT_EQ(steps.Done, "abc");
    EXPECT_FALSE(work.Running());
    work.Resume();
    EXPECT_EQ(steps.Done, "abc") << "an ended body is not run again";

    // The same coroutine runs the next work from its start.
    steps.Done.clear();
    ASSERT_TRUE(work.Start(ThreeSteps, &steps));
    EXPECT_EQ(steps.Done, "a");
    work.Resume();
    work.Resume();
    EXPECT_EQ(steps.Done, "abc");
}

} // namespace
