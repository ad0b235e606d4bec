// The whole show through the real render thread on the virtual platform, at
// several frame rates and with one long stall: no primitive is ever handed a
// coordinate outside the frame, every figure stays within its extents, and
// the show ends with its close requests and black frames.
#include <algorithm>
#include <ostream>
#include <string>

#include "demo/titles.h"
#include "demo_fixture.h"
#include "test_frame.h"

namespace {

struct ShowRun {
    const char* name;
    std::int64_t framePeriod;  // microseconds (the virtual counter's ticks)
    double stallAtClock;       // negative: no stall
    std::int64_t stallTicks;
};

void PrintTo(const ShowRun& run, std::ostream* os) { *os << run.name; }

void Merge(InkBox& into, const InkBox& box) {
    if (box.count == 0) return;
    into.minX = std::min(into.minX, box.minX);
    into.maxX = std::max(into.maxX, box.maxX);
    into.minY = std::min(into.minY, box.minY);
    into.maxY = std::max(into.maxY, box.maxY);
    into.count += box.count;
}

struct ShowWatch {
    const ShowRun* run = nullptr;
    std::uint64_t checkEvery = 1;  // figure extents are measured on every k-th frame
    std::uint64_t frames = 0;
    std::int32_t lastScene = 0;
    bool sceneWentBack = false;
    bool stalled = false;
    double longestFrameDelta = 0;
    std::uint64_t framesInSecond51 = 0;
    std::uint64_t darkFramesAfterShow = 0;
    std::uint64_t litFramesAfterShow = 0;
    std::uint64_t framesPerScene[static_cast<int>(Scene::Black) + 1] = {};
    InkBox balls, discs, column, landscape, greetings;
};

constexpr double StopAtClock = 52.5;
constexpr int DiscColumnSplitX = 458;   // discs end by x 380, the column starts at 536
constexpr int GreetingsSplitY = 330;    // greetings end by y 300, the landscape starts at 365

void MeasureFigures(ShowWatch& w, Scene scene, const MemoryFrame& f) {
    switch (scene) {
        case Scene::Balls:
            Merge(w.balls, FindInk(f));
            break;
        case Scene::RingsAndColumn:
            Merge(w.discs, FindInk(f, 0, 0, DiscColumnSplitX, ScreenHeight));
            Merge(w.column, FindInk(f, DiscColumnSplitX, 0, ScreenWidth, ScreenHeight));
            break;
        case Scene::Landscape:
            Merge(w.greetings, FindInk(f, 0, 0, ScreenWidth, GreetingsSplitY));
            Merge(w.landscape, FindInk(f, 0, GreetingsSplitY, ScreenWidth, ScreenHeight));
            break;
        default:
            break;
    }
}

// Runs after every presented frame; SceneIndex is the scene just drawn.
void WatchFrame(void* context, const MemoryFrame& f, bool drawn) {
    ShowWatch& w = *static_cast<ShowWatch*>(context);
    EXPECT_TRUE(drawn);
    const Scene scene = SceneFor(SceneIndex);
    if (SceneIndex < w.lastScene) w.sceneWentBack = true;
    w.lastScene = SceneIndex;
    w.longestFrameDelta = std::max(w.longestFrameDelta, FrameDelta);
    ++w.framesPerScene[static_cast<int>(scene)];
    if (scene == Scene::Close) ++w.framesInSecond51;
    if (scene == Scene::Close || scene == Scene::Black) {
        ++(FindInk(f).count == 0 ? w.darkFramesAfterShow : w.litFramesAfterShow);
    } else if (w.frames % w.checkEvery == 0) {
        MeasureFigures(w, scene, f);
    }
    ++w.frames;

    if (!w.stalled && w.run->stallAtClock >= 0 && DemoClock >= w.run->stallAtClock) {
        VirtualPlatformAddStall(w.run->stallTicks);
        w.stalled = true;
    }
    if (DemoClock >= StopAtClock) RenderStopRequested.store(true);
}

class WholeShow : public DemoTest, public ::testing::WithParamInterface<ShowRun> {};

TEST_P(WholeShow, EveryFigureStaysInItsPlaceAndTheShowEndsItself) {
    const ShowRun& run = GetParam();
    ShowWatch w;
    w.run = &run;
    w.checkEvery = std::max<std::int64_t>(1, 25'000 / run.framePeriod);
    VirtualPlatform.framePeriod = run.framePeriod;
    VirtualPlatform.presentHook = {WatchFrame, &w};

    EXPECT_EQ(RenderThreadProc(nullptr), 0u);

    EXPECT_EQ(ClippedDrawCount(), 0u);
    EXPECT_FALSE(w.sceneWentBack);
    for (const Scene s : {Scene::Title, Scene::Balls, Scene::RingsAndColumn, Scene::Landscape,
                          Scene::Close, Scene::Black})
        EXPECT_GT(w.framesPerScene[static_cast<int>(s)], 0u) << static_cast<int>(s);
    EXPECT_EQ(VirtualPlatform.closeRequests, w.framesInSecond51);
    EXPECT_EQ(w.litFramesAfterShow, 0u);
    if (run.stallAtClock >= 0) {
        EXPECT_TRUE(w.stalled);
        EXPECT_DOUBLE_EQ(w.longestFrameDelta, (run.framePeriod + run.stallTicks) / 1e6);
    }

    // The arena's walls at 99 and 700; a ball bouncing into a corner can
    // reach two pixels past them for one frame.
    EXPECT_GE(w.balls.minX, 97);
    EXPECT_LE(w.balls.maxX, 702);
    EXPECT_GE(w.balls.minY, 97);
    EXPECT_LE(w.balls.maxY, 502);

    EXPECT_GE(w.discs.minX, 85);
    EXPECT_LE(w.discs.maxX, 380);
    EXPECT_GE(w.discs.minY, 157);
    EXPECT_LE(w.discs.maxY, 443);

    EXPECT_GE(w.column.minX, 536);
    EXPECT_LE(w.column.maxX, 737);
    EXPECT_GE(w.column.minY, 30);
    EXPECT_LE(w.column.maxY, 550);

    EXPECT_GE(w.landscape.minX, 89);
    EXPECT_LE(w.landscape.maxX, 765);
    EXPECT_GE(w.landscape.minY, 365);
    EXPECT_LE(w.landscape.maxY, 547);

    // Above the landscape there is nothing but the greetings.
    TestFrame greetings;
    DrawGreetings(greetings.view);
    const InkBox alone = FindInk(*greetings.memory);
    EXPECT_EQ(w.greetings.minX, alone.minX);
    EXPECT_EQ(w.greetings.maxX, alone.maxX);
    EXPECT_EQ(w.greetings.minY, alone.minY);
    EXPECT_EQ(w.greetings.maxY, alone.maxY);
}

//                                     name             period  stall at  stall
INSTANTIATE_TEST_SUITE_P(FramePeriods, WholeShow,
    ::testing::Values(ShowRun{"period_1ms",          1'000,  -1,       0},
                      ShowRun{"period_10ms",        10'000,  -1,       0},
                      ShowRun{"period_16_667ms",    16'667,  -1,       0},
                      ShowRun{"period_100ms",      100'000,  -1,       0},
                      ShowRun{"stall_2s_in_balls",  10'000,  15.0,  2'000'000}),
    [](const ::testing::TestParamInfo<ShowRun>& info) { return std::string(info.param.name); });

}  // namespace
