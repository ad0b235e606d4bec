#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "demo/balls.h"
#include "demo/disc_rings.h"
#include "demo/landscape.h"
#include "demo/titles.h"
#include "demo/twisted_column.h"
#include "demo_fixture.h"

namespace {

using Timeline = DemoTest;

// Runs one frame of the render thread with the demo clock at clock.
void FrameAt(double clock) {
    DemoClock = clock;
    RenderFrame();
}

TEST_F(Timeline, SetUpDrawsWarmUpAndBallsThenTakesTwoEqualReadings) {
    RenderThreadSetUp();
    const std::uint32_t afterSetUp = RandomSeed.load();
    RandomSeed.store(0);
    for (int i = 0; i < 1500 + 70; ++i) RandomBelow(2);
    EXPECT_EQ(afterSetUp, RandomSeed.load());
    EXPECT_EQ(CounterFrequency, 1'000'000);
    EXPECT_EQ(CounterPrevious, VirtualPlatform.firstReading);
    EXPECT_EQ(CounterCurrent, VirtualPlatform.firstReading);
    EXPECT_FALSE(CounterFallback);
    EXPECT_EQ(VirtualPlatform.locks, 0u);  // nothing drawn yet
}

TEST_F(Timeline, FrameDeltaIsThePreviousFrameOneFrameLate) {
    RenderThreadSetUp();
    double deltas[6];
    for (int frame = 0; frame < 6; ++frame) {
        if (frame == 3) VirtualPlatformAddStall(500'000);  // frame 3 runs half a second long
        RenderFrame();
        deltas[frame] = FrameDelta;
    }
    EXPECT_EQ(deltas[0], 0.0);  // the two set-up readings
    for (const int frame : {1, 2, 3, 5}) EXPECT_DOUBLE_EQ(deltas[frame], 0.01) << frame;
    EXPECT_DOUBLE_EQ(deltas[4], 0.51);  // the stall shows one frame later
    EXPECT_DOUBLE_EQ(DemoClock, 0.55);
    EXPECT_EQ(AnimPhase, 0.02 + 0.02 + 0.02 + 0.02 + 0.02 + 0.02);
    EXPECT_EQ(SceneIndex, 0);
}

// Every edge of the schedule, checked on the picture the frame shows.
TEST_F(Timeline, ClockEdgesSelectTheScheduledPicture) {
    RenderThreadSetUp();
    const auto expected = NewOwnedFrame();
    auto expectPicture = [&](double clock, const std::function<void(const FrameView&)>& draw) {
        SCOPED_TRACE(clock);
        ClearMemoryFrame(expected->memory);
        draw(expected->view);
        FrameAt(clock);
        EXPECT_TRUE(SamePicture(VirtualFrame(), expected->memory));
    };
    for (const auto& [clock, scene] :
         {std::pair{2.999, 0}, {3.0, 3}, {5.999, 5}, {6.0, 6}, {9.999, 9}})
        expectPicture(clock, [scene](const FrameView& f) { DrawTitles(scene, f); });
    EXPECT_NE(PixelOf(VirtualFrame(), 160, 300), 0u) << "372 Kbit";

    FrameAt(10.0);  // the balls: their arena, no title
    EXPECT_EQ(SceneIndex, 10);
    EXPECT_EQ(PixelOf(VirtualFrame(), 99, 99), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(VirtualFrame(), 700, 500), 0xFFFFFFu);
    InkBox aboveArena;
    AddInk(aboveArena, VirtualFrame(), 0, 0, ScreenWidth, 98);
    EXPECT_EQ(aboveArena.count, 0);

    for (const double clock : {21.0, 35.999}) {
        expectPicture(clock, [phase = AnimPhase](const FrameView& f) {
            DrawDiscRings(f, phase);
            DrawTwistedColumn(f, phase);
        });
    }
    for (const double clock : {36.0, 50.999}) {
        expectPicture(clock, [phase = AnimPhase](const FrameView& f) {
            DrawLandscape(f, phase);
            DrawGreetings(f);
        });
    }
    EXPECT_EQ(VirtualPlatform.closeRequests, 0u);

    const auto black = [](const FrameView&) {};
    expectPicture(51.0, black);
    EXPECT_EQ(VirtualPlatform.closeRequests, 1u);
    expectPicture(51.999, black);  // posted again on every frame of second 51
    EXPECT_EQ(VirtualPlatform.closeRequests, 2u);
    expectPicture(52.0, black);
    expectPicture(1e12, black);
    EXPECT_EQ(VirtualPlatform.closeRequests, 2u);

    // A frame that carries the clock from the landscape past second 51 still
    // ends the show, once.
    FrameAt(50.5);
    FrameAt(52.2);
    FrameAt(52.3);
    EXPECT_EQ(VirtualPlatform.closeRequests, 3u);
    EXPECT_EQ(ClippedDrawCount(), 0u);
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
    EXPECT_TRUE(SamePicture(VirtualFrame(), before->memory));
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
    EXPECT_GT(FindInk(VirtualFrame()).count, 0);  // the first title
}

}  // namespace
