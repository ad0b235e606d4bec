// Start-up question, window, message loop, errors and the end of the process.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "demo/render_platform.h"
#include "shell/program.h"
#include "shell/sdl/sdl_shell.h"

SDL_Window* MainWindow = nullptr;
Uint32 CloseRequestEvent = 0;

namespace {

std::thread::id MainThread;

// The X11 window class comes from this variable when the video subsystem
// starts.
constexpr const char* WindowClassName = "Brumvik";

// Button identifiers as the Windows box returns them.
constexpr int IdYes = 6;
constexpr int IdNo = 7;
constexpr int IdCancel = 2;

bool IsCloseRequest(const SDL_Event& event) {
    if (event.type == CloseRequestEvent || event.type == SDL_QUIT) return true;
    return event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE;
}

bool IsEscapeKey(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE;
}

// Once the protocol has run the window goes, and with it the loop: requests
// still queued behind the first are never looked at.
void CloseWindow() {
    RunCloseProtocol();
    SDL_DestroyWindow(MainWindow);
    MainWindow = nullptr;
}

// Without a window system SDL falls back to drivers that show nothing; the
// show would then run for 51 seconds unseen. Asked for by name, they are used.
bool OnlyAnInvisibleDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || SDL_getenv("SDL_VIDEODRIVER") != nullptr) return false;
    return SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
}

}  // namespace

bool OnMainThread() {
    return std::this_thread::get_id() == MainThread;
}

void InitialisePlatform() {
    MainThread = std::this_thread::get_id();
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", WindowClassName, 1);
    SDL_SetHint(SDL_HINT_APP_NAME, WindowClassName);
    // A full-screen window that loses the focus stays as it is; SDL would
    // otherwise minimise it.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The frames are drawn by the CPU, so the screen needs no 3D driver: they
    // go into the window's own framebuffer in memory. Left to itself, SDL
    // would back that framebuffer with an OpenGL renderer
    // (Mesa's llvmpipe under Xvfb: its threads and some 60 MiB more memory)
    // and remake the window for it from the thread that asks.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) FatalSystemError();
    if (OnlyAnInvisibleDisplay()) {
        SDL_SetError("No display to show the demo on: no window system was found.");
        FatalSystemError();
    }
    CloseRequestEvent = SDL_RegisterEvents(1);
    if (CloseRequestEvent == static_cast<Uint32>(-1)) FatalSystemError();
}

QuestionAnswer AskFullScreenQuestion() {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IdYes, "Yes"},
        {0, IdNo, "No"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IdCancel, "Cancel"},
    };
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, "",     "Fullscreen?",
                                 SDL_arraysize(buttons),     buttons, nullptr};
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) return QuestionAnswer::NotShown;
    switch (chosen) {
        case IdYes:
            return QuestionAnswer::Yes;
        case IdNo:
            return QuestionAnswer::No;
        case IdCancel:
            return QuestionAnswer::Cancel;
        // SDL answers -1 both for a box closed without a button and for a
        // fallback box that could not be shown at all.
        default:
            return QuestionAnswer::NotShown;
    }
}

void OpenMainWindow() {
    const char* caption = FullScreen ? "Fullscreen" : "";
    const Uint32 flags = (FullScreen ? SDL_WINDOW_BORDERLESS : 0) | SDL_WINDOW_HIDDEN;
    MainWindow = SDL_CreateWindow(caption, 101, 101, ScreenWidth, ScreenHeight, flags);
    if (MainWindow == nullptr) FatalSystemError();
    WindowHandle = MainWindow;
    SDL_ShowWindow(MainWindow);
}

// Nice values stand in for the priority classes: the process a little above
// the desktop, the audio thread a little above the render thread. Without the
// right to raise priority the calls fail and nothing changes.
void RaiseProcessPriority() {
    setpriority(PRIO_PROCESS, 0, -2);
}

void RunMessageLoop() {
    while (MainWindow != nullptr) {
        SDL_Event event;
        if (SDL_WaitEvent(&event) == 0) {
            RunCloseProtocol();
            FatalSystemError();
        }
        if (IsEscapeKey(event)) PlatformPostCloseRequest();  // handled in turn, like any request
        if (IsCloseRequest(event)) CloseWindow();
    }
}

void FatalSystemError() {
    ShowErrorBox(SDL_GetError());
    ShutdownSteps(1);
}

// Without a visible display SDL may report a box as shown that nobody saw.
void ShowErrorBox(const char* text) {
    const bool visible = SDL_WasInit(SDL_INIT_VIDEO) != 0 && !OnlyAnInvisibleDisplay();
    if (!visible || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text, nullptr) != 0) {
        std::fprintf(stderr, "%s\n", text);
    }
}

void UnloadLibraries() {
    if (OnMainThread()) SDL_Quit();
}

// Like the end of a Windows process: the other threads stop where they are,
// nothing else of the process runs.
void ExitProcessWith(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
