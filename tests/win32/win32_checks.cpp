// Checks of the Win32 platform layer against the real Win32, DirectDraw and
// DirectSound (under Wine in the test script): the run-time binding, the
// worker threads, the window's client area, the back buffer's format, its
// clear, lock and presentation, and the looping sound buffer.
//
// Usage: dxvornik85-win32-checks   (needs a display and a sound device)
// Prints one line per case and "N passed, N failed"; exit code 0 when all pass.
#include <windows.h>
#include <ddraw.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "demo/render_platform.h"
#include "raster/frame.h"
#include "shell/program.h"
#include "shell/shell_platform.h"
#include "shell/sound_platform.h"
#include "shell/win32/display.h"
#include "shell/win32/dx_binding.h"

namespace {

int Passed = 0;
int Failed = 0;

void Check(bool condition, const char* what, const std::string& detail = {}) {
    if (condition) {
        ++Passed;
    } else {
        ++Failed;
        std::printf("  FAILED: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    }
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

void Forget(LibraryBinding& binding, const char* name) {
    for (int i = 0; i < LibraryBinding::MaxNames && binding.names[i]; ++i)
        if (std::strcmp(binding.names[i], name) == 0) binding.addresses[i] = nullptr;
}

void BindingCases() {
    std::puts("binding");
    BindDirectX();
    Check(DirectDraw.module != nullptr && DirectSound.module != nullptr, "DDraw.dll and DSound.dll loaded");
    Check(Address(DirectDraw, "DirectDrawCreateEx") != nullptr, "DirectDrawCreateEx resolved");
    Check(Address(DirectSound, "DirectSoundCreate8") != nullptr, "DirectSoundCreate8 resolved");
    Check(Address(DirectDraw, "DirectDrawEnumerate") == GetProcAddress(DirectDraw.module, "DirectDrawEnumerateA") &&
              Address(DirectDraw, "DirectDrawEnumerate") != nullptr,
          "DirectDrawEnumerate is the A variant");
    Check(Address(DirectSound, "DirectSoundCaptureEnumerate") ==
              GetProcAddress(DirectSound.module, "DirectSoundCaptureEnumerateA"),
          "DirectSoundCaptureEnumerate is the A variant");
    Check(MissingDirectXText().empty(), "nothing reported missing", MissingDirectXText());

    const LibraryBinding draw = DirectDraw;
    const LibraryBinding sound = DirectSound;
    DirectSound.module = nullptr;
    Check(MissingDirectXText() == "DSound.dll could not be loaded.", "missing DSound.dll is named",
          MissingDirectXText());
    DirectSound = sound;
    Forget(DirectDraw, "DirectDrawCreateEx");
    Check(MissingDirectXText() == "DirectDrawCreateEx was not found in DDraw.dll.",
          "missing DirectDrawCreateEx is named", MissingDirectXText());
    DirectDraw.module = nullptr;
    Forget(DirectSound, "DirectSoundCreate8");
    Check(MissingDirectXText() ==
              "DDraw.dll could not be loaded.\nDirectSoundCreate8 was not found in DSound.dll.",
          "both missing parts are named in one text", MissingDirectXText());
    DirectDraw = draw;
    DirectSound = sound;
}

struct WorkerProbe {
    std::atomic<int> runs{0};
    std::atomic<bool> sawItself{false};
    void* parameter = nullptr;
    WorkerThread* worker = nullptr;
};

WorkerProbe Probe;

std::uint32_t ProbeProc(void* parameter) {
    Probe.parameter = parameter;
    Probe.sawItself = IsCurrentWorker(Probe.worker);
    ++Probe.runs;
    return 0;
}

void WorkerCases() {
    std::puts("workers");
    int marker = 0;
    Probe.worker = CreateSuspendedWorker(ProbeProc, &marker, WorkerPriority::AboveNormal);
    Sleep(100);
    Check(Probe.runs == 0, "a created worker does not run before it is resumed");
    Check(!IsCurrentWorker(Probe.worker), "the main thread is not the worker");
    ResumeWorker(Probe.worker);
    WaitForWorker(Probe.worker);
    Check(Probe.runs == 1, "a resumed worker runs once and is waited for");
    Check(Probe.parameter == &marker, "the worker receives its parameter");
    Check(Probe.sawItself, "the worker knows itself");
    CloseWorker(Probe.worker);

    WorkerThread* idle = CreateSuspendedWorker(ProbeProc, nullptr, WorkerPriority::Normal);
    const DWORD before = GetTickCount();
    WaitForWorker(idle);
    Check(GetTickCount() - before < 1000, "waiting for a worker that never ran returns");
    CloseWorker(idle);
    Check(Probe.runs == 1, "a worker that was never resumed never ran");
}

// The surface's format as created is checked with the display below.
void DescriptionCases() {
    std::puts("back buffer description");
    Check(BackBufferCaps == 0x840, "this program's back buffer is in system memory", Hex(BackBufferCaps));

    DDSURFACEDESC2 locked = BackBufferDescription(0x40);
    static Colour32 memory[4];
    locked.lpSurface = memory;
    locked.lPitch = 3200;
    Check(LockedFrameUsable(locked), "a 32-bit lock with a 3200-byte pitch is drawn into");
    locked.lPitch = 4096;
    Check(LockedFrameUsable(locked), "a wider pitch is drawn into");
    locked.lPitch = 3196;
    Check(!LockedFrameUsable(locked), "a pitch shorter than a row is not");
    locked.lPitch = 3200;
    locked.ddpfPixelFormat.dwRGBBitCount = 16;
    Check(!LockedFrameUsable(locked), "16-bit pixels are not");
    locked.ddpfPixelFormat.dwRGBBitCount = 32;
    locked.lpSurface = nullptr;
    Check(!LockedFrameUsable(locked), "a lock without an address is not");
}

COLORREF ClientPixel(int x, int y) {
    const HWND window = static_cast<HWND>(WindowHandle);
    const HDC context = GetDC(window);
    const COLORREF colour = GetPixel(context, x, y);
    ReleaseDC(window, context);
    return colour;
}

// Equal but for what a 16-bit desktop drops from each channel.
bool Near(COLORREF seen, COLORREF wanted) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (seen >> shift) & 0xFF;
        const int b = (wanted >> shift) & 0xFF;
        if (a - b > 8 || b - a > 8) return false;
    }
    return true;
}

bool AllBlack(const FrameMemory& memory) {
    for (int y = 0; y < ScreenHeight; ++y) {
        const Colour32* row = memory.pixels + y * (memory.pitch / 4);
        for (int x = 0; x < ScreenWidth; ++x)
            if (row[x] != 0) return false;
    }
    return true;
}

void Paint(const FrameMemory& memory, Colour32 colour) {
    for (int y = 0; y < ScreenHeight; ++y) {
        Colour32* row = memory.pixels + y * (memory.pitch / 4);
        for (int x = 0; x < ScreenWidth; ++x) row[x] = colour;
    }
}

void WindowAndDisplayCases() {
    std::puts("window and display");
    FullScreen = false;
    OpenMainWindow();
    const HWND window = static_cast<HWND>(WindowHandle);
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    Check(outer.left == 101 && outer.top == 101, "the window is at (101, 101)",
          std::to_string(outer.left) + ", " + std::to_string(outer.top));
    Check(client.right == 800 && client.bottom == 600, "the client area is 800 x 600",
          std::to_string(client.right) + " x " + std::to_string(client.bottom));
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    Check(std::string(className) == "Brumvik", "window class", className);
    Check(GetWindowTextLengthA(window) == 0, "empty caption");

    SetUpDisplay();
    Check(DirectDrawObject && PrimarySurface && BackBuffer, "display objects created");
    if (!BackBuffer) return;
    DDSURFACEDESC2 made;
    std::memset(&made, 0, sizeof made);
    made.dwSize = sizeof made;
    BackBuffer->GetSurfaceDesc(&made);
    Check(made.ddpfPixelFormat.dwRGBBitCount == 32 && made.ddpfPixelFormat.dwRBitMask == 0xFF0000,
          "the back buffer has 32-bit 0x00RRGGBB pixels", std::to_string(made.ddpfPixelFormat.dwRGBBitCount));
    Check((made.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY) != 0, "the back buffer is in system memory",
          Hex(made.ddsCaps.dwCaps));

    FrameMemory memory;
    Check(PlatformLockFrame(memory), "the back buffer locks");
    Check(memory.pixels != nullptr && memory.pitch >= 3200, "the lock gives 800 pixels per row",
          std::to_string(memory.pitch));
    if (!memory.pixels) return;
    Check(AllBlack(memory), "a fresh frame is black");
    FrameMemory again;
    Check(!PlatformLockFrame(again), "a locked frame is not locked twice");
    Paint(memory, 0x00FFFFFF);
    memory.pixels[10 * (memory.pitch / 4) + 20] = 0x00123456;
    PlatformUnlockFrame();
    PlatformPresentFrame();
    Check(Near(ClientPixel(20, 10), RGB(0x12, 0x34, 0x56)), "the frame reaches the client area, red high",
          Hex(ClientPixel(20, 10)));
    Check(Near(ClientPixel(799, 599), RGB(0xFF, 0xFF, 0xFF)), "the whole frame is copied",
          Hex(ClientPixel(799, 599)));

    FrameMemory next;
    Check(PlatformLockFrame(next), "the next frame locks");
    if (next.pixels) Check(AllBlack(next), "every frame starts black");
    PlatformUnlockFrame();

    RestoreDisplay();
    ReleaseDisplayObjects();
    Check(!DirectDrawObject && !PrimarySurface && !BackBuffer, "display objects released");
    Check(!PlatformLockFrame(next), "no lock without a back buffer");
}

void SoundCases() {
    std::puts("sound");
    Check(std::string(SoundFailureText(static_cast<SoundResult>(0x88780078))) ==
              "No sound driver is available for use.",
          "a failed call shows DirectSound's text");
    const SoundResult created = SoundCreateDevice();
    Check(created >= 0, "the device is created", Hex(created));
    if (created < 0) return;
    Check(SoundSetCooperativeLevel(WindowHandle) >= 0, "priority level");
    std::uint32_t rate = 0;
    Check(SoundGetCaps(rate) >= 0 && rate >= 8000, "the device offers a rate", std::to_string(rate));
    const std::uint32_t bytes = 2 * rate;
    Check(SoundCreateBuffer(rate, bytes) >= 0, "a one-second mono 16-bit buffer is created");
    Check(SoundQueryBuffer8() >= 0, "the buffer has its version-8 interface");

    SoundRegions whole;
    Check(SoundLock(0, bytes, true, whole) >= 0, "the whole buffer locks");
    Check(whole.pointer1 && whole.count1 == bytes && !whole.pointer2 && whole.count2 == 0,
          "as one region of one second", std::to_string(whole.count1));
    if (whole.pointer1) std::memset(whole.pointer1, 0, whole.count1);
    Check(SoundUnlock(whole) >= 0, "and unlocks");

    SoundRegions wrapped;
    const std::uint32_t offset = bytes - 1000;
    Check(SoundLock(offset, 3000, false, wrapped) >= 0, "a region across the end locks");
    Check(wrapped.count1 == 1000 && wrapped.pointer2 && wrapped.count2 == 2000,
          "as the end of the buffer, then its start",
          std::to_string(wrapped.count1) + " + " + std::to_string(wrapped.count2));
    Check(SoundUnlock(wrapped) >= 0, "and unlocks");

    SoundPlayLooping();
    const std::uint32_t start = SoundPlayCursor();
    // The device's first period can take a while where Wine is emulated.
    std::uint32_t later = start;
    for (int wait = 0; wait < 100 && later == start; ++wait) {
        Sleep(30);
        later = SoundPlayCursor();
    }
    Check(later != start && later < bytes && later % 2 == 0, "the play cursor moves through the buffer",
          std::to_string(start) + " -> " + std::to_string(later));
    SoundStop();
    ReleaseSoundObjects();
}

}  // namespace

int main() {
    BindingCases();
    WorkerCases();
    DescriptionCases();
    WindowAndDisplayCases();
    SoundCases();
    UnbindDirectX();
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}
