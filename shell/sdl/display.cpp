// The display. The main thread only switches the display mode (and gives it
// back); the window's framebuffer and the back buffer are made, used and let
// go on the render thread: made before it is resumed, let go as its
// procedure returns.
#include <sys/prctl.h>
#include <time.h>

#include <cerrno>
#include <cstdint>
#include <thread>

#include "demo/render_platform.h"
#include "shell/program.h"
#include "shell/sdl/sdl_shell.h"

namespace {

// Render-thread objects, written and read on the render thread only.
SDL_Surface* Screen = nullptr;      // the window's framebuffer
SDL_Surface* BackBuffer = nullptr;  // Screen itself, or a surface copied into it
bool BackBufferLocked = false;
std::thread::id BackBufferOwner;

bool IsFullScreenMode(const SDL_DisplayMode& mode) {
    return mode.w == ScreenWidth && mode.h == ScreenHeight && SDL_BYTESPERPIXEL(mode.format) == 4 &&
           mode.refresh_rate == 60;
}

// Only the exact mode will do; a display without it cannot run the show full screen.
bool FindFullScreenMode(SDL_DisplayMode& found) {
    const int display = SDL_GetWindowDisplayIndex(MainWindow);
    const int count = SDL_GetNumDisplayModes(display < 0 ? 0 : display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display < 0 ? 0 : display, i, &mode) == 0 && IsFullScreenMode(mode)) {
            found = mode;
            return true;
        }
    }
    return false;
}

// The frame reaches the screen through the window, so the window must cover
// the screen. SDL only asks a window manager to make the window full screen;
// with none (a kiosk, a bare X server) nothing would move it from where it
// was opened, and its right and bottom edge would lie off the screen. So it
// is put at the display's corner first, while SDL still moves a window that
// is not full screen; the mode switch then makes the screen its size.
void MoveToDisplayCorner() {
    const int display = SDL_GetWindowDisplayIndex(MainWindow);
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0) return;
    SDL_SetWindowPosition(MainWindow, bounds.x, bounds.y);
}

void SwitchToFullScreenMode() {
    SDL_ShowCursor(SDL_DISABLE);  // not shown again before the process ends
    SDL_DisplayMode mode{};
    if (!FindFullScreenMode(mode)) ShutdownSteps(1);
    MoveToDisplayCorner();
    if (SDL_SetWindowDisplayMode(MainWindow, &mode) != 0) ShutdownSteps(1);
    if (SDL_SetWindowFullscreen(MainWindow, SDL_WINDOW_FULLSCREEN) != 0) ShutdownSteps(1);
}

void FreeOwnBackBuffer() {
    if (BackBuffer != nullptr && BackBuffer != Screen) SDL_FreeSurface(BackBuffer);
    BackBuffer = nullptr;
}

// Asked for at every frame: SDL makes the window's framebuffer anew after
// the window's size has changed (a window manager may resize even a window
// that asks not to be), and the back buffer must follow it. The framebuffer
// is the plain one in memory (no accelerated renderer behind it), so the
// CPU-drawn frames need no 3D driver and each reaches the screen in one copy.
// Without a framebuffer the frame is left undrawn. `remade` tells whether
// the back buffer is another one than at the last call.
bool EnsureBackBuffer(bool& remade) {
    remade = false;
    SDL_Surface* screen = SDL_GetWindowSurface(MainWindow);
    if (screen == nullptr) {
        // SDL has let the old framebuffer go: nothing may be drawn into it or
        // shown from it any more.
        FreeOwnBackBuffer();
        Screen = nullptr;
        return false;
    }
    const bool intoScreen = DrawsIntoFramebuffer(*screen);
    if (screen == Screen && BackBuffer != nullptr && (BackBuffer == Screen) == intoScreen) return true;
    remade = true;
    FreeOwnBackBuffer();
    Screen = screen;
    BackBufferOwner = std::this_thread::get_id();
    BackBuffer =
        intoScreen ? screen
                   : SDL_CreateRGBSurfaceWithFormat(0, ScreenWidth, ScreenHeight, 32, SDL_PIXELFORMAT_RGB888);
    return BackBuffer != nullptr;
}

}  // namespace

void SetUpDisplay() {
    if (FullScreen) SwitchToFullScreenMode();
}

void RestoreDisplay() {
    if (MainWindow != nullptr && FullScreen) SDL_SetWindowFullscreen(MainWindow, 0);
}

// The render thread's 10 ms sleep paces the frames: it is woken on time
// rather than up to the default 50 microseconds late.
void PrepareThreadDisplay() {
    prctl(PR_SET_TIMERSLACK, 1UL);
    bool remade = false;
    EnsureBackBuffer(remade);
    StartPresenter();
}

// The presenting thread goes even when no back buffer could ever be made.
void ReleaseThreadDisplay() {
    StopPresenter();
    if (BackBufferOwner != std::this_thread::get_id()) return;
    FreeOwnBackBuffer();
    Screen = nullptr;
}

// The back buffer is gone with its thread. The window is the main thread's: from
// another thread (a sound failure) it is left to the end of the process.
void ReleaseDisplayObjects() {
    if (!OnMainThread() || MainWindow == nullptr) return;
    SDL_DestroyWindow(MainWindow);
    MainWindow = nullptr;
}

std::int64_t PlatformCounterFrequency() {
    return static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
}

std::int64_t PlatformCounter() {
    return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}

namespace {

std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// How long before the end of the sleep the thread asks to be woken: more than
// the kernel's usual lateness in waking it on a machine that is not busy.
constexpr std::int64_t WakeAheadNanoseconds = 200'000;

}  // namespace

// The frames follow each other every 10 ms plus the drawing and the present,
// so every bit the sleep oversleeps is lost frame rate; and a sleeping thread
// is woken 0.05 to 0.2 ms after its time, or later under load. The render
// thread therefore sleeps to a little before the end and waits out the rest
// awake, watching the clock.
void PlatformSleep10ms() {
    const std::int64_t end = MonotonicNanoseconds() + 10'000'000;
    const std::int64_t wake = end - WakeAheadNanoseconds;
    const timespec until{static_cast<time_t>(wake / 1'000'000'000), static_cast<long>(wake % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {}
    while (MonotonicNanoseconds() < end) {}
}

void PlatformPostCloseRequest() {
    SDL_Event event{};
    event.type = CloseRequestEvent;
    SDL_PushEvent(&event);
}

// The framebuffer is asked for only once the last present is over, as SDL
// may make it anew then. The frame is cleared here unless the presenting
// thread has cleared this very back buffer since it was last drawn. The
// clear is ours rather than SDL_FillRect's, whose stores bypass the cache:
// the drawing that follows would find every row of the frame back in memory.
bool PlatformLockFrame(FrameMemory& memory) {
    const SDL_Surface* const cleared = WaitForPresent();
    bool remade = false;
    if (!EnsureBackBuffer(remade)) return false;
    if (SDL_LockSurface(BackBuffer) != 0) return false;
    BackBufferLocked = true;
    memory.pixels = static_cast<Colour32*>(BackBuffer->pixels);
    memory.pitch = BackBuffer->pitch;
    if (remade || cleared != BackBuffer) ClearFrameMemory(memory);
    return true;
}

void PlatformUnlockFrame() {
    if (!BackBufferLocked) return;
    SDL_UnlockSurface(BackBuffer);
    BackBufferLocked = false;
}

void PlatformPresentFrame() {
    if (BackBuffer != nullptr) PresentInTurn(BackBuffer, Screen);
}
