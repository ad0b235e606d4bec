// What the whole show at its usual frame periods never meets: a clock that
// jumps past the end, a counter without a rate, a lock that fails and the
// orders in which a stop can arrive. The schedule itself, the clock's steps
// and the set-up's draws are pinned by the show's golden pictures.
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "demo/balls.h"
#include "demo_fixture.h"

namespace {

using Timeline = DemoTest;

// Runs one frame of the render thread with the demo clock at clock.
void FrameAt(double clock) {
    DemoClock = clock;
    RenderFrame();
}

// A frame longer than a second can carry the clock from the landscape past
// second 51; the show still ends, once, and clocks beyond the integer range
// are black too.
TEST_F(Timeline, ClockJumpingPastTheLastSecondStillEndsTheShowOnce) {
    RenderThreadSetUp();
    FrameAt(50.5);
    FrameAt(52.2);
    FrameAt(52.3);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
    FrameAt(1e12);
    EXPECT_EQ(SceneIndex, INT32_MAX);
    EXPECT_EQ(InkCount(VirtualFrame()), 0);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
}

class ClockFallback : public DemoTest, public ::testing::WithParamInterface<std::int64_t> {};

// A counter without a usable rate would make FrameDelta a division by zero
// (or negative); the clock then runs on the steady clock instead.
TEST_P(ClockFallback, BrokenCounterRateFallsBackToAWorkingClock) {
    VirtualPlatform.ticksPerSecond = GetParam();
    RenderThreadSetUp();
    EXPECT_TRUE(CounterFallback);
    EXPECT_EQ(CounterFrequency, 1'000'000'000);
    EXPECT_EQ(VirtualPlatform.readings, 0);  // the platform's counter is not trusted
    for (int frame = 0; frame < 3; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        RenderFrame();
        EXPECT_TRUE(std::isfinite(FrameDelta) && FrameDelta < 60.0);
        EXPECT_GE(FrameDelta, frame > 0 ? 0.002 : 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, ClockFallback, ::testing::Values(0, -1000));

TEST_F(Timeline, FailedLockSkipsTheDrawingButNotTheTime) {
    RenderThreadSetUp();
    FrameAt(0.0);  // the first title
    const auto before = NewOwnedFrame();
    before->memory = VirtualFrame();
    DemoClock = 12.0;  // the balls, which keep moving with real time
    const double ballX = Balls[0].X;
    VirtualPlatform.failingLocks = 1;
    RenderFrame();
    EXPECT_EQ(VirtualPlatform.unlocks, 1u);  // nothing was locked, nothing unlocked
    EXPECT_EQ(std::memcmp(&VirtualFrame(), &before->memory, sizeof(MemoryFrame)), 0);
    EXPECT_DOUBLE_EQ(DemoClock, 12.01);
    EXPECT_DOUBLE_EQ(AnimPhase, 0.04);
    EXPECT_NE(Balls[0].X, ballX);

    VirtualPlatform.failingLocks = 1;  // second 51 asks to close even without a frame
    FrameAt(51.5);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
}

void StopAtThirdPresent(void*, const MemoryFrame&, bool drawn) {
    EXPECT_TRUE(drawn);
    if (VirtualPlatform.presents == 3) RenderStopRequested.store(true);
}

// A stop asked while a frame is drawn ends the thread after that frame is
// presented; asked before the first frame, that frame is still drawn.
TEST_F(Timeline, ThreadEndsAfterPresentingTheFrameDuringWhichStopWasAsked) {
    VirtualPlatform.presentHook = {StopAtThirdPresent, nullptr};
    EXPECT_EQ(RenderThreadProc(nullptr), 0u);
    EXPECT_EQ(VirtualPlatform.sleeps, 3u);
    EXPECT_EQ(VirtualPlatform.presents, 3u);
    EXPECT_EQ(VirtualPlatform.unlocks, 3u);

    ResetTimeline();
    ResetVirtualPlatform();
    RenderStopRequested.store(true);
    EXPECT_EQ(RenderThreadProc(nullptr), 0u);
    EXPECT_EQ(VirtualPlatform.locks, 1u);
    EXPECT_EQ(VirtualPlatform.presents, 1u);
    EXPECT_GT(InkCount(VirtualFrame()), 0);  // the first title
}

}  // namespace
