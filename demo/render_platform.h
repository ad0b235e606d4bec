#pragma once
// What the render thread needs from the platform it runs on. Each program
// links exactly one implementation: the SDL2 shell, the Win32 shell, or the
// virtual platform of the capture tool and the tests.
#include <cstdint>

#include "raster/frame.h"

// Ticks per second of the monotonic counter (may be reported as 0 by a
// broken platform; the timeline then falls back to a working clock).
std::int64_t PlatformCounterFrequency();
std::int64_t PlatformCounter();

// Blocks the render thread for about 10 ms.
void PlatformSleep10ms();

// Asks the main thread to close the window; posts and never waits.
void PlatformPostCloseRequest();

// Clears the back buffer to black and locks it. Returns false when no memory
// could be had this frame (the frame is then not drawn).
bool PlatformLockFrame(FrameMemory& memory);

// Unlocks what PlatformLockFrame locked.
void PlatformUnlockFrame();

// Shows the finished frame (or stores it).
void PlatformPresentFrame();
