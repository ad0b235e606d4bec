// The display. SDL renderers belong to the thread that made them, so the
// main thread only switches the display mode (and gives it back), while the
// renderer and the back buffer are made, used and destroyed on the render
// thread: made before it is resumed, destroyed as its procedure returns.
#include <sys/prctl.h>

#include <thread>

#include "demo/render_platform.h"
#include "shell/program.h"
#include "shell/sdl/sdl_shell.h"

namespace {

// Render-thread objects, written and read on the render thread only.
SDL_Renderer* Renderer = nullptr;
bool RendererTried = false;
std::thread::id RendererOwner;

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

void SwitchToFullScreenMode() {
    SDL_ShowCursor(SDL_DISABLE);  // not shown again before the process ends
    SDL_DisplayMode mode{};
    if (!FindFullScreenMode(mode)) ShutdownSteps(1);
    if (SDL_SetWindowDisplayMode(MainWindow, &mode) != 0) ShutdownSteps(1);
    if (SDL_SetWindowFullscreen(MainWindow, SDL_WINDOW_FULLSCREEN) != 0) ShutdownSteps(1);
}

// Made once; a failure leaves every frame undrawn. Only the software
// renderer: it draws into the window's framebuffer as the window was made,
// where any other would remake the window (from this thread, under the main
// thread's events) and load a 3D driver that the CPU-drawn frames do not need.
bool EnsureRenderer() {
    if (Renderer != nullptr) return true;
    if (RendererTried) return false;
    RendererTried = true;
    Renderer = SDL_CreateRenderer(MainWindow, -1, SDL_RENDERER_SOFTWARE);
    if (Renderer == nullptr) return false;
    RendererOwner = std::this_thread::get_id();
    if (!CreateBackBuffer(Renderer)) {
        ReleaseThreadDisplay();
        return false;
    }
    return true;
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
    EnsureRenderer();
}

void ReleaseThreadDisplay() {
    if (Renderer == nullptr || RendererOwner != std::this_thread::get_id()) return;
    DestroyBackBuffer();
    SDL_DestroyRenderer(Renderer);
    Renderer = nullptr;
}

// The renderer is gone with its thread. The window is the main thread's: from
// another thread (a sound failure) it is left to the end of the process.
void ReleaseDisplayObjects() {
    if (!OnMainThread() || MainWindow == nullptr) return;
    SDL_DestroyWindow(MainWindow);
    MainWindow = nullptr;
}

std::int64_t PlatformCounterFrequency() { return static_cast<std::int64_t>(SDL_GetPerformanceFrequency()); }

std::int64_t PlatformCounter() { return static_cast<std::int64_t>(SDL_GetPerformanceCounter()); }

void PlatformSleep10ms() { SDL_Delay(10); }

void PlatformPostCloseRequest() {
    SDL_Event event{};
    event.type = CloseRequestEvent;
    SDL_PushEvent(&event);
}

bool PlatformLockFrame(FrameMemory& memory) {
    return EnsureRenderer() && ClearAndLockBackBuffer(memory);
}

void PlatformUnlockFrame() { UnlockBackBuffer(); }

void PlatformPresentFrame() {
    if (Renderer != nullptr) PresentBackBuffer(Renderer);
}
