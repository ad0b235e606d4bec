#pragma once
// The render thread: its set-up, its frame loop, the demo clock and the fixed
// scene schedule. Everything here runs on the render thread only, except
// RenderStopRequested, which the window's close handling sets.
#include <atomic>
#include <cstdint>

#include "raster/frame.h"

// Set by the main thread when the window is closing; read once per frame.
extern std::atomic<bool> RenderStopRequested;

// The clock. All zero before the set-up; written by the render thread only.
extern std::int64_t CounterFrequency;  // ticks per second
extern std::int64_t CounterPrevious;   // older of the two latest readings
extern std::int64_t CounterCurrent;    // newer of the two latest readings
extern double FrameDelta;              // seconds between the two latest readings
extern double DemoClock;               // sum of the FrameDelta of all finished frames
extern double AnimPhase;               // +0.02 per finished frame, never reset
extern std::int32_t SceneIndex;        // DemoClock truncated, for the latest frame

// True when the platform reported no usable counter rate at set-up and the
// clock runs on the standard library's steady clock instead.
extern bool CounterFallback;

// What the schedule draws for one whole second of the demo clock.
enum class Scene {
    Title,           // 0..9: one of the three title lines
    Balls,           // 10..20
    RingsAndColumn,  // 21..35: disc rings, then the twisted column over them
    Landscape,       // 36..50: landscape, then the greeting lines over it
    Close,           // 51: nothing drawn; the window is asked to close
    Black,           // anything else
};

Scene SceneFor(std::int32_t sceneIndex);

// DemoClock truncated toward zero; clocks beyond the schedule map to a black second.
std::int32_t SceneIndexFor(double demoClock);

// Puts every clock global back to its start value (zero) and clears the stop flag.
void ResetTimeline();

// 500 times: RandomFraction, RandomFraction, RandomBelow(255), all discarded.
void GeneratorWarmUp();

// The set-up of the thread: warm-up, balls, counter rate and two readings.
void RenderThreadSetUp();

// Draws one frame: lock, clock, scene, phase, unlock.
void RenderFrame();

// Draws the scene for sceneIndex into frame. The ball scene's motion is not
// part of it (see UpdateBalls); everything else is computed from animPhase.
void DrawScene(std::int32_t sceneIndex, const FrameView& frame, double animPhase);

// The thread procedure: set-up, then sleep / RenderFrame / present until
// RenderStopRequested is seen after a presented frame. The parameter is unused.
std::uint32_t RenderThreadProc(void* parameter);
