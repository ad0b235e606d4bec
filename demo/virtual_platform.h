#pragma once
// A platform without a display, for headless runs, the tests and the capture
// tool: a counter that advances by a fixed number of ticks per frame, an
// in-memory frame cleared at every lock, a present hook, counted close
// requests and a sleep that returns at once.
#include <cstdint>

#include "raster/frame.h"

// Called for every presented frame (FramePixelCount pixels, rows packed).
// drawn is false when that frame's lock failed, in which case the memory
// still holds an older picture.
using VirtualPresentFunction = void (*)(void* context, const Colour32* frame, bool drawn);

struct VirtualPresentHook {
    VirtualPresentFunction function = nullptr;
    void* context = nullptr;
};

struct VirtualPlatformState {
    // Configuration; ResetVirtualPlatform restores these defaults.
    std::int64_t ticksPerSecond = 1'000'000;  // what the counter reports as its rate
    std::int64_t framePeriod = 10'000;        // ticks from one reading to the next
    std::int64_t firstReading = 1'000'000;    // value of both set-up readings
    std::int64_t pendingStall = 0;            // added once, to the next reading
    std::int32_t failingLocks = 0;            // this many next locks fail
    VirtualPresentHook presentHook;

    // Observations.
    std::int64_t readings = 0;  // counter readings so far
    std::int64_t lastReading = 0;
    std::uint64_t locks = 0;  // successful locks
    std::uint64_t failedLocks = 0;
    std::uint64_t unlocks = 0;
    std::uint64_t presents = 0;
    std::uint64_t closeRequests = 0;
    std::uint64_t sleeps = 0;
    bool locked = false;  // between a successful lock and its unlock
    bool lastLockSucceeded = false;
};

extern VirtualPlatformState VirtualPlatform;

// Back to the defaults, every count zero, the frame black.
void ResetVirtualPlatform();

// Makes the next counter reading come stallTicks later than it would.
void VirtualPlatformAddStall(std::int64_t stallTicks);

// The memory every frame is drawn into: FramePixelCount pixels, rows packed.
const Colour32* VirtualFrame();
