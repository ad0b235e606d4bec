#include "show_runner.h"

#include <cstdlib>
#include <limits>

#include "base/random.h"

ShowState SaveShowState() {
    ShowState s;
    s.counterFrequency = CounterFrequency;
    s.counterPrevious = CounterPrevious;
    s.counterCurrent = CounterCurrent;
    s.frameDelta = FrameDelta;
    s.demoClock = DemoClock;
    s.animPhase = AnimPhase;
    s.sceneIndex = SceneIndex;
    s.counterFallback = CounterFallback;
    for (int i = 0; i < BallCount; ++i) s.balls[i] = Balls[i];
    s.platform = VirtualPlatform;
    return s;
}

void RestoreShowState(const ShowState& s) {
    CounterFrequency = s.counterFrequency;
    CounterPrevious = s.counterPrevious;
    CounterCurrent = s.counterCurrent;
    FrameDelta = s.frameDelta;
    DemoClock = s.demoClock;
    AnimPhase = s.animPhase;
    SceneIndex = s.sceneIndex;
    CounterFallback = s.counterFallback;
    for (int i = 0; i < BallCount; ++i) Balls[i] = s.balls[i];
    VirtualPlatform = s.platform;
}

namespace {

// Scenes end within 16 seconds; a loop that runs longer has lost its clock.
constexpr int FrameLimit = 100'000;

Scene NextFrameScene() { return SceneFor(SceneIndexFor(DemoClock)); }

void RenderUndrawn() {
    VirtualPlatform.failingLocks = 1;
    RenderFrame();
}

// Back to the scene's first frame once its last one has been taken.
void TakeFrame(SceneLoop& loop) {
    if (loop.frameInScene == static_cast<std::int64_t>(loop.phases.size())) {
        RestoreShowState(loop.first);
        loop.frameInScene = 0;
    }
    ++loop.frameInScene;
}

}  // namespace

SceneLoop StartSceneLoop(Scene scene) {
    ResetTimeline();
    ResetVirtualPlatform();
    RandomSeed.store(0);
    RenderThreadSetUp();
    SceneLoop loop{scene, {}, {}, 0};
    for (int n = 0; NextFrameScene() != scene; ++n) {
        if (n == FrameLimit) std::abort();
        RenderUndrawn();
    }
    loop.first = SaveShowState();
    for (int n = 0; NextFrameScene() == scene; ++n) {
        if (n == FrameLimit) std::abort();
        loop.phases.push_back(AnimPhase);
        RenderUndrawn();
    }
    RestoreShowState(loop.first);
    return loop;
}

void RenderNextFrame(SceneLoop& loop) {
    TakeFrame(loop);
    RenderFrame();
}

void SkipNextFrame(SceneLoop& loop) {
    TakeFrame(loop);
    RenderUndrawn();
}

const MemoryFrame& ShowFrame() { return VirtualFrame(); }
