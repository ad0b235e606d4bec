#pragma once
// Runs the show's real frame path (RenderFrame over the virtual platform,
// clear included) inside one scene, for benchmarks and instruction counts.
// The show is started exactly as the render thread starts it and fast-
// forwarded to the scene's first frame without drawing; from there frames are
// drawn one after another, and when the clock leaves the scene everything
// (clock, phase, balls, counter) goes back to that first frame, so a loop of
// any length draws only frames the show itself draws, in the show's order.
#include <cstdint>
#include <vector>

#include "demo/timeline.h"
#include "demo/virtual_platform.h"

struct SceneLoop {
    Show show;                      // the show being drawn
    Show first;                     // the show just before the scene's first frame
    VirtualPlatformState platform;  // the platform just before that frame
    std::vector<double> phases;     // AnimPhase of every frame of the scene
    std::int64_t frameInScene = 0;  // next frame to draw, 0 .. phases.size() - 1
};

// The show at the default virtual frame period (10 ms), from a fresh start
// (generator at 0, clock at 0), up to the first frame of `scene`. Nothing is
// drawn on the way: the frames' locks fail, which keeps every clock, the
// phase and the balls moving exactly as in a drawn show.
SceneLoop StartSceneLoop(Scene scene);

// Draws the scene's next frame with RenderFrame; after its last frame the
// loop starts over at the first.
void RenderNextFrame(SceneLoop& loop);

// Lets the next frame pass without drawing it (its lock fails).
void SkipNextFrame(SceneLoop& loop);
