// Checks of the Win32 platform layer against the real Win32, DirectDraw and
// DirectSound (under Wine in the test script): the run-time binding, the
// worker threads, the window's client area, the back buffer's format, its
// clear, lock and presentation, and the looping sound buffer.
//
// Usage: dxvornik85-win32-checks   (needs a display and a sound device)
// Prints each failed case and "N passed, N failed"; exit code 0 when all pass.
#include <windows.h>
#include <ddraw.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "demo/render_platform.h"
#include "raster/frame.h"
#include "shell/program.h"
#include "shell/win32/display.h"
#include "shell/win32/dx_binding.h"

namespace {

int Passed = 0;
int Failed = 0;

// Counts the case; a failed one is printed with its detail, formatted as
// printf formats it.
template <typename... Values>
void Check(bool condition, const char* what, const char* detail = "", Values... values) {
    ++(condition ? Passed : Failed);
    if (condition) return;
    std::printf("  FAILED: %s: ", what);
    std::printf(detail, values...);
    std::printf("\n");
}

// A bad binding of what the programs call ends every run under Wine with a
// box; here are the parts no run reaches.
void BindingCases() {
    BindDirectX();
    Check(Address(DirectDraw, "DirectDrawEnumerate") ==
                  GetProcAddress(DirectDraw.module, "DirectDrawEnumerateA") &&
              Address(DirectDraw, "DirectDrawEnumerate"),
          "a name without a suffix is its A variant");

    // Every missing part is named in one text; the script's runs without
    // DDraw.dll or DSound.dll see a box of one line.
    const LibraryBinding draw = DirectDraw, sound = DirectSound;
    DirectDraw.module = nullptr;
    for (int i = 0; i < LibraryBinding::MaxNames && sound.names[i]; ++i)
        if (std::strcmp(sound.names[i], sound.called) == 0) DirectSound.addresses[i] = nullptr;
    Check(MissingDirectXText() ==
              "DDraw.dll could not be loaded.\nDirectSoundCreate8 was not found in DSound.dll.",
          "both missing parts are named", "%s", MissingDirectXText().c_str());
    DirectDraw = draw;
    DirectSound = sound;
}

std::atomic<int> ProbeRuns{0};
std::atomic<bool> ProbeSawItself{false};
void* ProbeParameter = nullptr;
WorkerThread* ProbeWorker = nullptr;

std::uint32_t ProbeProc(void* parameter) {
    ProbeParameter = parameter;
    ProbeSawItself = IsCurrentWorker(ProbeWorker);
    ++ProbeRuns;
    return 0;
}

void WorkerCases() {
    int marker = 0;
    ProbeWorker = CreateSuspendedWorker(ProbeProc, &marker, WorkerPriority::AboveNormal);
    Sleep(100);
    Check(ProbeRuns == 0 && !IsCurrentWorker(ProbeWorker), "a worker waits to be resumed");
    ResumeWorker(ProbeWorker);
    WaitForWorker(ProbeWorker);
    Check(ProbeRuns == 1 && ProbeParameter == &marker && ProbeSawItself,
          "a resumed worker runs once with its parameter, knows itself and is waited for");
    CloseWorker(ProbeWorker);
    // Waiting for one that was never resumed would never end (nor the script's run).
    WorkerThread* idle = CreateSuspendedWorker(ProbeProc, nullptr, WorkerPriority::Normal);
    WaitForWorker(idle);
    CloseWorker(idle);
    Check(ProbeRuns == 1, "a worker that was never resumed is not waited for and never runs");
}

// Locks that 800 pixels of 32 bits per row do not fit into are refused.
void LockDescriptionCases() {
    static Colour32 memory[4];
    using Case = std::tuple<LONG, DWORD, void*, bool>;  // pitch, bits, surface, usable
    for (auto [pitch, bits, surface, usable] : {Case{3200, 32, memory, true},
                                                {4096, 32, memory, true},
                                                {3196, 32, memory, false},
                                                {3200, 16, memory, false},
                                                {3200, 32, nullptr, false}}) {
        DDSURFACEDESC2 locked = BackBufferDescription(DDSCAPS_OFFSCREENPLAIN);
        locked.lpSurface = surface;
        locked.lPitch = pitch;
        locked.ddpfPixelFormat.dwRGBBitCount = bits;
        Check(LockedFrameUsable(locked) == usable, "a lock is used only where a frame fits",
              "%ld bytes a row, %lu bits", pitch, bits);
    }
}

// The client area's pixel equals wanted but for what a 16-bit desktop drops
// from each channel.
void CheckClientPixel(int x, int y, COLORREF wanted, const char* what) {
    const HDC context = GetDC(static_cast<HWND>(WindowHandle));
    const COLORREF seen = GetPixel(context, x, y);
    ReleaseDC(static_cast<HWND>(WindowHandle), context);
    bool within = true;
    for (int shift = 0; shift < 24; shift += 8)
        within = within && std::abs(int((seen >> shift) & 0xFF) - int((wanted >> shift) & 0xFF)) <= 8;
    Check(within, what, "0x%06lx at (%d, %d)", seen, x, y);
}

// Whether every pixel of the frame is colour; paint makes it so first.
bool Every(const FrameMemory& memory, Colour32 colour, bool paint = false) {
    bool all = true;
    for (int y = 0; y < ScreenHeight; ++y) {
        Colour32* row = memory.pixels + y * (memory.pitch / 4);
        if (paint) std::fill(row, row + ScreenWidth, colour);
        all = all && std::count(row, row + ScreenWidth, colour) == ScreenWidth;
    }
    return all;
}

void WindowAndDisplayCases() {
    FullScreen = false;
    OpenMainWindow();
    const HWND window = static_cast<HWND>(WindowHandle);
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    Check(outer.left == 101 && outer.top == 101 && client.right == 800 && client.bottom == 600,
          "the window is at (101, 101) with an 800 x 600 client area", "%ld, %ld: %ld x %ld", outer.left,
          outer.top, client.right, client.bottom);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    Check(std::string(className) == "Brumvik" && GetWindowTextLengthA(window) == 0,
          "class Brumvik, empty caption", "%s", className);

    SetUpDisplay();
    DDSURFACEDESC2 made{};
    made.dwSize = sizeof made;
    if (BackBuffer) BackBuffer->GetSurfaceDesc(&made);
    const DDPIXELFORMAT& format = made.ddpfPixelFormat;
    Check(DirectDrawObject && PrimarySurface && format.dwRGBBitCount == 32 && format.dwRBitMask == 0xFF0000 &&
              (made.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY),
          "the display objects are made, the back buffer with 32-bit 0x00RRGGBB pixels in system memory",
          "%lu bits, caps 0x%lx", format.dwRGBBitCount, made.ddsCaps.dwCaps);

    FrameMemory memory, again;
    Check(PlatformLockFrame(memory) && memory.pixels && memory.pitch >= 3200,
          "the back buffer locks with 800 pixels a row", "pitch %ld", long(memory.pitch));
    if (!memory.pixels) return;
    Check(Every(memory, 0), "a fresh frame is black");
    Check(!PlatformLockFrame(again), "a locked frame is not locked twice");
    Every(memory, 0x00FFFFFF, true);
    memory.pixels[10 * (memory.pitch / 4) + 20] = 0x00123456;
    PlatformUnlockFrame();
    PlatformPresentFrame();
    CheckClientPixel(20, 10, RGB(0x12, 0x34, 0x56), "the frame reaches the client area, red high");
    CheckClientPixel(799, 599, RGB(0xFF, 0xFF, 0xFF), "the whole frame is copied");
    Check(PlatformLockFrame(again) && again.pixels && Every(again, 0), "every frame starts black");
    PlatformUnlockFrame();

    RestoreDisplay();
    ReleaseDisplayObjects();
    Check(!DirectDrawObject && !PrimarySurface && !BackBuffer && !PlatformLockFrame(again),
          "display objects released, and no lock without them");
}

// The sound calls the programs make fail every run under Wine when they
// fail; these are the wrapped lock, the moving cursor and the texts of
// failures that no run shows.
void SoundCases() {
    // The system's own text has an acute accent (0xB4), not an apostrophe.
    Check(std::strcmp(SoundFailureText(DSERR_OUTOFMEMORY),
                      "The DirectSound subsystem could not allocate sufficient memory to "
                      "complete the caller\xB4s request.") == 0 &&
              std::strcmp(SoundFailureText(-7), "Unrecognized Error") == 0,
          "DirectSound's texts for its codes, and one for any other");
    std::uint32_t rate = 0;
    const bool made = SoundFindDevice(WindowHandle, rate) >= 0 && SoundOpen(rate, 2 * rate) >= 0;
    Check(made, "a one-second buffer is made", "%u Hz", unsigned(rate));
    if (!made) return;
    const std::uint32_t bytes = 2 * rate;
    SoundRegions wrapped;
    Check(SoundLock(bytes - 1000, 3000, wrapped) >= 0 && wrapped.count1 == 1000 && wrapped.pointer2 &&
              wrapped.count2 == 2000 && SoundUnlock(wrapped) >= 0,
          "a region across the end locks as the end of the buffer, then its start", "%u + %u",
          unsigned(wrapped.count1), unsigned(wrapped.count2));

    SoundPlayLooping();
    const std::uint32_t start = SoundPlayCursor();
    // The device's first period can take a while where Wine is emulated.
    std::uint32_t later = start;
    for (int wait = 0; wait < 100 && later == start; ++wait) {
        Sleep(30);
        later = SoundPlayCursor();
    }
    Check(later != start && later < bytes && later % 2 == 0, "the play cursor moves through the buffer",
          "%u -> %u", unsigned(start), unsigned(later));
    SoundStop();
    SoundClose();
}

}  // namespace

int main() {
    BindingCases();
    WorkerCases();
    LockDescriptionCases();
    WindowAndDisplayCases();
    SoundCases();
    UnbindDirectX();
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}
