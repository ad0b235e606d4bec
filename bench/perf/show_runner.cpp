#include "show_runner.h"

#include <cstdlib>
#include <limits>

#include "base/random.h"

namespace {

// Scenes end within 16 seconds; a loop that runs longer has lost its clock.
constexpr int FrameLimit = 100'000;

Scene NextFrameScene(const Show& show) {
    return SceneFor(SceneIndexFor(show.DemoClock));
}

void RenderUndrawn(Show& show) {
    VirtualPlatform.failingLocks = 1;
    RenderFrame(show);
}

void BackToFirstFrame(SceneLoop& loop) {
    loop.show = loop.first;
    VirtualPlatform = loop.platform;
}

// Back to the scene's first frame once its last one has been taken.
void TakeFrame(SceneLoop& loop) {
    if (loop.frameInScene == static_cast<std::int64_t>(loop.phases.size())) {
        BackToFirstFrame(loop);
        loop.frameInScene = 0;
    }
    ++loop.frameInScene;
}

}  // namespace

SceneLoop StartSceneLoop(Scene scene) {
    ResetVirtualPlatform();
    RandomState generator{0};
    SceneLoop loop{scene, {}, {}, {}, {}, 0};
    StartShow(loop.show, generator);
    for (int n = 0; NextFrameScene(loop.show) != scene; ++n) {
        if (n == FrameLimit) std::abort();
        RenderUndrawn(loop.show);
    }
    loop.first = loop.show;
    loop.platform = VirtualPlatform;
    for (int n = 0; NextFrameScene(loop.show) == scene; ++n) {
        if (n == FrameLimit) std::abort();
        loop.phases.push_back(loop.show.AnimPhase);
        RenderUndrawn(loop.show);
    }
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
