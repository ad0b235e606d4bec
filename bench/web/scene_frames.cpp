// Whole frames of one scene in the browser, exactly as scene_bursts and
// perf_bench's scene benchmarks draw them natively (RenderFrame on the
// virtual platform, the clear included, frame after frame through the
// scene), so that the two can be set side by side. The page times the calls.
#include <cstdint>

#include "show_runner.h"

#define DX_EXPORT(name) extern "C" __attribute__((export_name(name)))

namespace {
SceneLoop Loop;
}  // namespace

// Scene numbers as in the schedule: 0 titles, 1 balls, 2 rings and column, 3 landscape.
DX_EXPORT("StartScene") void StartScene(int scene) {
    Loop = StartSceneLoop(static_cast<Scene>(scene));
}

// Draws the scene's next `count` frames; returns a pixel so nothing is left out.
DX_EXPORT("DrawFrames") std::uint32_t DrawFrames(int count) {
    for (int i = 0; i < count; ++i) RenderNextFrame(Loop);
    return VirtualFrame()[300 * ScreenWidth + 400];
}
