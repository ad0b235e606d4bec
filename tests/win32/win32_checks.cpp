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

void Check(bool condition, const char* what, const std::string& detail = {}) {
    ++(condition ? Passed : Failed);
    if (!condition) std::printf("  FAILED: %s: %s\n", what, detail.c_str());
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
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
          "both missing parts are named", MissingDirectXText());
    DirectDraw = draw;
    DirectSound = sound;
}

struct {
    std::atomic<int> runs{0};
    std::atomic<bool> sawItself{false};
    void* parameter;
    WorkerThread* worker;
} Probe;

std::uint32_t ProbeProc(void* parameter) {
    Probe.parameter = parameter;
    Probe.sawItself = IsCurrentWorker(Probe.worker);
    ++Probe.runs;
    return 0;
}

void WorkerCases() {
    int marker = 0;
    Probe.worker = CreateSuspendedWorker(ProbeProc, &marker, WorkerPriority::AboveNormal);
    Sleep(100);
    Check(Probe.runs == 0 && !IsCurrentWorker(Probe.worker), "a worker waits to be resumed");
    ResumeWorker(Probe.worker);
    WaitForWorker(Probe.worker);
    Check(Probe.runs == 1 && Probe.parameter == &marker && Probe.sawItself,
          "a resumed worker runs once with its parameter, knows itself and is waited for");
    CloseWorker(Probe.worker);
    // Waiting for one that was never resumed would never end (nor the script's run).
    WorkerThread* idle = CreateSuspendedWorker(ProbeProc, nullptr, WorkerPriority::Normal);
    WaitForWorker(idle);
    CloseWorker(idle);
    Check(Probe.runs == 1, "a worker that was never resumed is not waited for and never runs");
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
              std::to_string(pitch) + " bytes a row, " + std::to_string(bits) + " bits");
    }
}

COLORREF ClientPixel(int x, int y) {
    const HDC context = GetDC(static_cast<HWND>(WindowHandle));
    const COLORREF colour = GetPixel(context, x, y);
    ReleaseDC(static_cast<HWND>(WindowHandle), context);
    return colour;
}

// Equal but for what a 16-bit desktop drops from each channel.
bool Near(COLORREF seen, COLORREF wanted) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((seen >> shift) & 0xFF) - int((wanted >> shift) & 0xFF)) > 8) return false;
    return true;
}

// Whether every pixel of the frame is colour; paint makes it so first.
bool Every(const FrameMemory& memory, Colour32 colour, bool paint = false) {
    bool all = true;
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            Colour32& pixel = memory.pixels[y * (memory.pitch / 4) + x];
            if (paint) pixel = colour;
            all = all && pixel == colour;
        }
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
          "the window is at (101, 101) with an 800 x 600 client area",
          std::to_string(outer.left) + ", " + std::to_string(outer.top) + ": " +
              std::to_string(client.right) + " x " + std::to_string(client.bottom));
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    Check(std::string(className) == "Brumvik" && GetWindowTextLengthA(window) == 0,
          "class Brumvik, empty caption", className);

    SetUpDisplay();
    Check(DirectDrawObject && PrimarySurface && BackBuffer, "display objects created");
    if (!BackBuffer) return;
    DDSURFACEDESC2 made{};
    made.dwSize = sizeof made;
    BackBuffer->GetSurfaceDesc(&made);
    const DDPIXELFORMAT& format = made.ddpfPixelFormat;
    Check(format.dwRGBBitCount == 32 && format.dwRBitMask == 0xFF0000 &&
              (made.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY),
          "the back buffer has 32-bit 0x00RRGGBB pixels in system memory",
          std::to_string(format.dwRGBBitCount) + " bits, " + Hex(made.ddsCaps.dwCaps));

    FrameMemory memory, again;
    Check(PlatformLockFrame(memory) && memory.pixels && memory.pitch >= 3200,
          "the back buffer locks with 800 pixels a row", std::to_string(memory.pitch));
    if (!memory.pixels) return;
    Check(Every(memory, 0), "a fresh frame is black");
    Check(!PlatformLockFrame(again), "a locked frame is not locked twice");
    Every(memory, 0x00FFFFFF, true);
    memory.pixels[10 * (memory.pitch / 4) + 20] = 0x00123456;
    PlatformUnlockFrame();
    PlatformPresentFrame();
    Check(Near(ClientPixel(20, 10), RGB(0x12, 0x34, 0x56)), "the frame reaches the client area, red high",
          Hex(ClientPixel(20, 10)));
    Check(Near(ClientPixel(799, 599), RGB(0xFF, 0xFF, 0xFF)), "the whole frame is copied",
          Hex(ClientPixel(799, 599)));
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
              std::strcmp(SoundFailureText(DSERR_NODRIVER), "No sound driver is available for use.") == 0 &&
              std::strcmp(SoundFailureText(-7), "Unrecognized Error") == 0,
          "DirectSound's texts for its codes, and one for any other");
    std::uint32_t rate = 0;
    const bool made = SoundFindDevice(WindowHandle, rate) >= 0 && SoundOpen(rate, 2 * rate) >= 0;
    Check(made, "a one-second buffer is made", std::to_string(rate) + " Hz");
    if (!made) return;
    const std::uint32_t bytes = 2 * rate;
    SoundRegions wrapped;
    Check(SoundLock(bytes - 1000, 3000, wrapped) >= 0 && wrapped.count1 == 1000 && wrapped.pointer2 &&
              wrapped.count2 == 2000 && SoundUnlock(wrapped) >= 0,
          "a region across the end locks as the end of the buffer, then its start",
          std::to_string(wrapped.count1) + " + " + std::to_string(wrapped.count2));

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
