#include "demo/timeline.h"

#include <chrono>
#include <limits>

#include "demo/balls.h"
#include "demo/disc_rings.h"
#include "demo/landscape.h"
#include "demo/render_platform.h"
#include "demo/titles.h"
#include "demo/twisted_column.h"
#include "base/random.h"

std::atomic<bool> RenderStopRequested{false};

std::int64_t CounterFrequency = 0;
std::int64_t CounterPrevious = 0;
std::int64_t CounterCurrent = 0;
double FrameDelta = 0.0;
double DemoClock = 0.0;
double AnimPhase = 0.0;
std::int32_t SceneIndex = 0;
bool CounterFallback = false;

namespace {

constexpr double AnimPhaseStep = 0.02;
constexpr std::int64_t FallbackTicksPerSecond = 1'000'000'000;

// The platform's counter, or the steady clock in nanoseconds when the
// platform reported a rate that cannot be divided by.
std::int64_t ReadCounter() {
    if (CounterFallback) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    }
    return PlatformCounter();
}

// The FrameDelta of a frame is the time between the two readings before it:
// the previous frame's length, one frame late.
void AdvanceClock() {
    FrameDelta = static_cast<double>(CounterCurrent - CounterPrevious) /
                 static_cast<double>(CounterFrequency);
    CounterPrevious = CounterCurrent;
    CounterCurrent = ReadCounter();
}

}  // namespace

Scene SceneFor(std::int32_t sceneIndex) {
    if (sceneIndex >= 0 && sceneIndex <= 9) return Scene::Title;
    if (sceneIndex >= 10 && sceneIndex <= 20) return Scene::Balls;
    if (sceneIndex >= 21 && sceneIndex <= 35) return Scene::RingsAndColumn;
    if (sceneIndex >= 36 && sceneIndex <= 50) return Scene::Landscape;
    if (sceneIndex == 51) return Scene::Close;
    return Scene::Black;
}

std::int32_t SceneIndexFor(double demoClock) {
    constexpr double Highest = std::numeric_limits<std::int32_t>::max();
    constexpr double Lowest = std::numeric_limits<std::int32_t>::min();
    // Clocks out of the integer range would make the truncation undefined;
    // they all lie far outside the schedule, where the frame is black.
    if (!(demoClock < Highest)) return std::numeric_limits<std::int32_t>::max();
    if (!(demoClock > Lowest)) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(demoClock);  // truncates toward zero
}

void ResetTimeline() {
    CounterFrequency = 0;
    CounterPrevious = 0;
    CounterCurrent = 0;
    FrameDelta = 0.0;
    DemoClock = 0.0;
    AnimPhase = 0.0;
    SceneIndex = 0;
    CounterFallback = false;
    RenderStopRequested.store(false);
}

void GeneratorWarmUp() {
    for (int i = 0; i < 500; ++i) {
        RandomFraction();
        RandomFraction();
        RandomBelow(255);
    }
}

void RenderThreadSetUp() {
    GeneratorWarmUp();
    InitBalls();
    CounterFrequency = PlatformCounterFrequency();
    CounterFallback = CounterFrequency <= 0;
    if (CounterFallback) CounterFrequency = FallbackTicksPerSecond;
    CounterPrevious = ReadCounter();
    CounterCurrent = ReadCounter();
}

void DrawScene(std::int32_t sceneIndex, const FrameView& frame, double animPhase) {
    switch (SceneFor(sceneIndex)) {
        case Scene::Title:
            DrawTitles(sceneIndex, frame);
            break;
        case Scene::Balls:
            DrawBalls(frame);
            break;
        case Scene::RingsAndColumn:
            DrawDiscRings(frame, animPhase);
            DrawTwistedColumn(frame, animPhase);
            break;
        case Scene::Landscape:
            DrawLandscape(frame, animPhase);
            DrawGreetings(frame);
            break;
        case Scene::Close:
        case Scene::Black:
            break;
    }
}

void RenderFrame() {
    // A frame whose memory cannot be had is not drawn, but its time still
    // passes: the clock, the phase and the balls' motion go on as usual.
    FrameMemory memory{};
    const bool locked = PlatformLockFrame(memory);
    FrameView frame{};
    if (locked) frame = BeginFrame(memory);

    AdvanceClock();
    const std::int32_t previousSceneIndex = SceneIndex;
    SceneIndex = SceneIndexFor(DemoClock);
    const Scene scene = SceneFor(SceneIndex);
    if (scene == Scene::Balls) UpdateBalls(FrameDelta);
    if (locked) DrawScene(SceneIndex, frame, AnimPhase);
    // A frame longer than a second can carry the clock from the show straight
    // past second 51; the show must still end, so that frame asks instead.
    const bool skippedSecond51 = previousSceneIndex < 51 && SceneIndex > 51;
    if (scene == Scene::Close || skippedSecond51) PlatformPostCloseRequest();

    AnimPhase += AnimPhaseStep;
    DemoClock += FrameDelta;

    if (locked) {
        EndFrame();
        PlatformUnlockFrame();
    }
}

std::uint32_t RenderThreadProc(void* parameter) {
    (void)parameter;  // the window is reached through the platform layer
    RenderThreadSetUp();
    for (;;) {
        PlatformSleep10ms();
        RenderFrame();
        PlatformPresentFrame();
        if (RenderStopRequested.load()) return 0;
    }
}
