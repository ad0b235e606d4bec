#include "show_runner.h"

#include <cstdlib>

#include "base/random.h"

namespace {

// Scenes end within 16 seconds; a loop that runs longer has lost its clock.
constexpr int FrameLimit = 100'000;

void RenderUndrawn(Show& show) {
    VirtualPlatform.failingLocks = 1;
    RenderFrame(show);
}

// Lets frames pass undrawn for as long as the next one is in the scene
// (inScene) or is not, noting the AnimPhase of each in phases when given.
void PassFrames(Show& show, Scene scene, bool inScene, std::vector<double>* phases = nullptr) {
    for (int n = 0; (SceneFor(SceneIndexFor(show.DemoClock)) == scene) == inScene; ++n) {
        if (n == FrameLimit) std::abort();
        if (phases) phases->push_back(show.AnimPhase);
        RenderUndrawn(show);
    }
}

void BackToFirstFrame(SceneLoop& loop) {
    loop.show = loop.first;
    VirtualPlatform = loop.platform;
    loop.frameInScene = 0;
}

// Back to the scene's first frame once its last one has been taken.
void TakeFrame(SceneLoop& loop) {
    if (loop.frameInScene == static_cast<std::int64_t>(loop.phases.size())) BackToFirstFrame(loop);
    ++loop.frameInScene;
}

}  // namespace

SceneLoop StartSceneLoop(Scene scene) {
    ResetVirtualPlatform();
    RandomState generator{0};
    SceneLoop loop;
    StartShow(loop.show, generator);
    PassFrames(loop.show, scene, false);
    loop.first = loop.show;
    loop.platform = VirtualPlatform;
    PassFrames(loop.show, scene, true, &loop.phases);
    BackToFirstFrame(loop);
    return loop;
}

void RenderNextFrame(SceneLoop& loop) {
    TakeFrame(loop);
    RenderFrame(loop.show);
}

void SkipNextFrame(SceneLoop& loop) {
    TakeFrame(loop);
    RenderUndrawn(loop.show);
}
