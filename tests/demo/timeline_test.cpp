// What the whole show at its usual frame periods never meets: a clock that
// jumps past the end, a counter without a rate, a lock that fails and the
// orders in which a stop can arrive. The schedule itself, the clock's steps
// and the set-up's draws are pinned by the show's golden pictures.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "demo_fixture.h"

namespace {

using Timeline = DemoTest;

// Runs one frame of the render thread with the demo clock at clock.
void FrameAt(Show& show, double clock) {
    show.DemoClock = clock;
    RenderFrame(show);
}

// A frame longer than a second can carry the clock from the landscape past
// second 51; the show still ends, once, and clocks beyond the integer range
// are black too.
TEST_F(Timeline, ClockJumpingPastTheLastSecondStillEndsTheShowOnce) {
    StartShow(show, RandomSeed);
    FrameAt(show, 50.5);
    FrameAt(show, 52.2);
    FrameAt(show, 52.3);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
    FrameAt(show, 1e12);
    EXPECT_EQ(show.SceneIndex, INT32_MAX);
    EXPECT_EQ(InkCount(VirtualFrame()), 0);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
}

class ClockFallback : public DemoTest, public ::testing::WithParamInterface<std::int64_t> {};

// A counter without a usable rate would make FrameDelta a division by zero
// (or negative); the clock then runs on the steady clock instead.
TEST_P(ClockFallback, BrokenCounterRateFallsBackToAWorkingClock) {
    VirtualPlatform.ticksPerSecond = GetParam();
    StartShow(show, RandomSeed);
    EXPECT_TRUE(show.CounterFallback);
    EXPECT_EQ(show.CounterFrequency, 1'000'000'000);
    EXPECT_EQ(VirtualPlatform.readings, 0);  // the platform's counter is not trusted
    for (int frame = 0; frame < 3; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        RenderFrame(show);
        EXPECT_TRUE(std::isfinite(show.FrameDelta) && show.FrameDelta < 60.0);
        EXPECT_GE(show.FrameDelta, frame > 0 ? 0.002 : 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, ClockFallback, ::testing::Values(0, -1000));

TEST_F(Timeline, FailedLockSkipsTheDrawingButNotTheTime) {
    StartShow(show, RandomSeed);
    FrameAt(show, 0.0);  // the first title
    const std::vector<Colour32> before(VirtualFrame(), VirtualFrame() + FramePixelCount);
    show.DemoClock = 12.0;  // the balls, which keep moving with real time
    const double ballX = show.Balls[0].X;
    VirtualPlatform.failingLocks = 1;
    RenderFrame(show);
    EXPECT_EQ(VirtualPlatform.unlocks, 1u);  // nothing was locked, nothing unlocked
    EXPECT_TRUE(std::equal(before.begin(), before.end(), VirtualFrame()));
    EXPECT_DOUBLE_EQ(show.DemoClock, 12.01);
    EXPECT_DOUBLE_EQ(show.AnimPhase, 0.04);
    EXPECT_NE(show.Balls[0].X, ballX);

    VirtualPlatform.failingLocks = 1;  // second 51 asks to close even without a frame
    FrameAt(show, 51.5);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
}

void StopAtThirdPresent(void* show, const Colour32*, bool drawn) {
    EXPECT_TRUE(drawn);
    if (VirtualPlatform.presents == 3) static_cast<Show*>(show)->RenderStopRequested.store(true);
}

// A stop asked while a frame is drawn ends the thread after that frame is
// presented; asked before the first frame, that frame is still drawn.
TEST_F(Timeline, ThreadEndsAfterPresentingTheFrameDuringWhichStopWasAsked) {
    VirtualPlatform.presentHook = {StopAtThirdPresent, &show};
    EXPECT_EQ(RenderThreadProc(&show), 0u);
    EXPECT_EQ(VirtualPlatform.sleeps, 3u);
    EXPECT_EQ(VirtualPlatform.presents, 3u);
    EXPECT_EQ(VirtualPlatform.unlocks, 3u);

    // Asked before the thread has even set the show up: the set-up keeps it.
    Show stopped;
    ResetVirtualPlatform();
    stopped.RenderStopRequested.store(true);
    EXPECT_EQ(RenderThreadProc(&stopped), 0u);
    EXPECT_EQ(VirtualPlatform.locks, 1u);
    EXPECT_EQ(VirtualPlatform.presents, 1u);
    EXPECT_GT(InkCount(VirtualFrame()), 0);  // the first title
}

}  // namespace
