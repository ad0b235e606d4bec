#include "demo/virtual_platform.h"

#include "demo/render_platform.h"

VirtualPlatformState VirtualPlatform;

namespace {

// 1.9 MB: static storage, not the stack. Aligned to a cache line, as the
// clear stores 32 bytes at a time.
alignas(64) Colour32 Frame[FramePixelCount];

}  // namespace

void ResetVirtualPlatform() {
    VirtualPlatform = VirtualPlatformState{};
    ClearPackedFrame(Frame);
}

void VirtualPlatformAddStall(std::int64_t stallTicks) {
    VirtualPlatform.pendingStall += stallTicks;
}

const Colour32* VirtualFrame() {
    return Frame;
}

std::int64_t PlatformCounterFrequency() {
    return VirtualPlatform.ticksPerSecond;
}

// The first two readings (the render thread's set-up) are equal; every later
// one is a frame period, plus any pending stall, after the one before.
std::int64_t PlatformCounter() {
    VirtualPlatformState& p = VirtualPlatform;
    if (p.readings < 2) {
        p.lastReading = p.firstReading;
    } else {
        p.lastReading += p.framePeriod + p.pendingStall;
        p.pendingStall = 0;
    }
    ++p.readings;
    return p.lastReading;
}

void PlatformSleep10ms() {
    ++VirtualPlatform.sleeps;
}

void PlatformPostCloseRequest() {
    ++VirtualPlatform.closeRequests;
}

bool PlatformLockFrame(FrameMemory& memory) {
    VirtualPlatformState& p = VirtualPlatform;
    if (p.failingLocks > 0) {
        --p.failingLocks;
        ++p.failedLocks;
        p.lastLockSucceeded = false;
        return false;
    }
    memory = ClearPackedFrame(Frame);
    ++p.locks;
    p.locked = true;
    p.lastLockSucceeded = true;
    return true;
}

void PlatformUnlockFrame() {
    ++VirtualPlatform.unlocks;
    VirtualPlatform.locked = false;
}

void PlatformPresentFrame() {
    VirtualPlatformState& p = VirtualPlatform;
    ++p.presents;
    if (p.presentHook.function) p.presentHook.function(p.presentHook.context, Frame, p.lastLockSucceeded);
}
