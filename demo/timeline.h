#pragma once
// The show: its clock, its balls and the frame it draws into, held in one
// value; the render thread's set-up and frame loop; the fixed scene schedule.
// A show is run by one thread, except RenderStopRequested, which the window's
// close handling sets from another.
#include <atomic>
#include <cstdint>

#include "base/random.h"
#include "demo/balls.h"
#include "raster/frame.h"

// A flag another thread may set at any time. Unlike a bare atomic it can be
// copied, with the rest of its show (to go back to an earlier frame): the
// copy takes the flag's value at that moment.
struct StopRequest {
    std::atomic<bool> Flag{false};

    StopRequest() = default;
    StopRequest(const StopRequest& other) : Flag(other.Flag.load()) {}
    StopRequest& operator=(const StopRequest& other) {
        Flag.store(other.Flag.load());
        return *this;
    }
    void store(bool requested) { Flag.store(requested); }
    bool load() const { return Flag.load(); }
};

// Everything that carries from one frame of a show to the next. A default
// show is a fresh one; StartShow sets it up.
struct Show {
    // The clock: all zero before the set-up.
    std::int64_t CounterFrequency = 0;  // ticks per second
    std::int64_t CounterPrevious = 0;   // older of the two latest readings
    std::int64_t CounterCurrent = 0;    // newer of the two latest readings
    double FrameDelta = 0.0;            // seconds between the two latest readings
    double DemoClock = 0.0;             // sum of the FrameDelta of all finished frames
    double AnimPhase = 0.0;             // +0.02 per finished frame, never reset
    std::int32_t SceneIndex = 0;        // DemoClock truncated, for the latest frame

    // True when the platform reported no usable counter rate at set-up and
    // the clock runs on the standard library's steady clock instead.
    bool CounterFallback = false;

    // The only drawing state kept from frame to frame.
    Ball Balls[BallCount] = {};

    // Set when the window is closing; read once per frame, after the present.
    StopRequest RenderStopRequested;

    FrameTarget Frame;
};

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

// 500 times: RandomFraction, RandomFraction, RandomBelow(255), all discarded.
void GeneratorWarmUp(RandomState& generator);

// Starts a fresh show (a default Show: clock at zero, row table still to be
// built) with the render thread's set-up: warm-up and balls from the
// generator, then the counter rate and two readings. Every show starts here.
// The show is not reset first, as its stop request may already have been set
// by the shell, and must hold.
void StartShow(Show& show, RandomState& generator);

// Draws one frame of show: lock, clock, scene, phase, unlock.
void RenderFrame(Show& show);

// Draws the scene of show.SceneIndex into frame. The ball scene's motion is
// not part of it (see UpdateBalls); everything else is computed from AnimPhase.
void DrawScene(const Show& show, const FrameView& frame);

// The thread procedure, given the Show to run: starts it from the program's
// shared generator, then sleep / RenderFrame / present until
// RenderStopRequested is seen after a presented frame.
std::uint32_t RenderThreadProc(void* show);
