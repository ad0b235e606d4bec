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

namespace {

constexpr double AnimPhaseStep = 0.02;
constexpr std::int64_t FallbackTicksPerSecond = 1'000'000'000;

// The platform's counter, or the steady clock in nanoseconds when the
// platform reported a rate that cannot be divided by.
std::int64_t ReadCounter(const Show& show) {
    if (show.CounterFallback) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    }
    return PlatformCounter();
}

// The FrameDelta of a frame is the time between the two readings before it:
// the previous frame's length, one frame late.
void AdvanceClock(Show& show) {
    show.FrameDelta = static_cast<double>(show.CounterCurrent - show.CounterPrevious) /
                      static_cast<double>(show.CounterFrequency);
    show.CounterPrevious = show.CounterCurrent;
    show.CounterCurrent = ReadCounter(show);
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

void GeneratorWarmUp(RandomState& generator) {
    for (int i = 0; i < 500; ++i) {
        RandomFraction(generator);
        RandomFraction(generator);
        RandomBelow(generator, 255);
    }
}

void StartShow(Show& show, RandomState& generator) {
    GeneratorWarmUp(generator);
    InitBalls(show.Balls, generator);
    show.CounterFrequency = PlatformCounterFrequency();
    show.CounterFallback = show.CounterFrequency <= 0;
    if (show.CounterFallback) show.CounterFrequency = FallbackTicksPerSecond;
    show.CounterPrevious = ReadCounter(show);
    show.CounterCurrent = ReadCounter(show);
}

void DrawScene(const Show& show, const FrameView& frame) {
    const std::int32_t sceneIndex = show.SceneIndex;
    const double animPhase = show.AnimPhase;
    switch (SceneFor(sceneIndex)) {
        case Scene::Title:
            DrawTitles(sceneIndex, frame);
            break;
        case Scene::Balls:
            DrawBalls(show.Balls, frame);
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

void RenderFrame(Show& show) {
    // A frame whose memory cannot be had is not drawn, but its time still
    // passes: the clock, the phase and the balls' motion go on as usual.
    FrameMemory memory{};
    const bool locked = PlatformLockFrame(memory);
    FrameView frame{};
    if (locked) frame = BeginFrame(show.Frame, memory);

    AdvanceClock(show);
    const std::int32_t previousSceneIndex = show.SceneIndex;
    show.SceneIndex = SceneIndexFor(show.DemoClock);
    const Scene scene = SceneFor(show.SceneIndex);
    if (scene == Scene::Balls) UpdateBalls(show.Balls, show.FrameDelta);
    if (locked) DrawScene(show, frame);
    // A frame longer than a second can carry the clock from the show straight
    // past second 51; the show must still end, so that frame asks instead.
    const bool skippedSecond51 = previousSceneIndex < 51 && show.SceneIndex > 51;
    if (scene == Scene::Close || skippedSecond51) PlatformPostCloseRequest();

    show.AnimPhase += AnimPhaseStep;
    show.DemoClock += show.FrameDelta;

    if (locked) {
        EndFrame(show.Frame);
        PlatformUnlockFrame();
    }
}

std::uint32_t RenderThreadProc(void* show) {
    Show& s = *static_cast<Show*>(show);
    // The audio thread has been drawing noise from the same generator since
    // before this thread was resumed: where the set-up starts in its sequence
    // depends on how far the sound has got.
    StartShow(s, RandomSeed);
    for (;;) {
        PlatformSleep10ms();
        RenderFrame(s);
        PlatformPresentFrame();
        if (s.RenderStopRequested.load()) return 0;
    }
}
