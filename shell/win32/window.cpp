// The Win32 side of the main line: the start-up question, the window and its
// procedure, the message loop, the worker threads and the fatal-error box.
#include <windows.h>

#include <string>

#include "raster/frame.h"
#include "shell/program.h"
#include "shell/shell_platform.h"
#include "shell/win32/dx_binding.h"

namespace {

constexpr int WindowX = 101;
constexpr int WindowY = 101;
constexpr char WindowClassName[] = "Brumvik";
constexpr DWORD FullScreenStyle = WS_POPUP | WS_VISIBLE;               // 0x90000000
constexpr DWORD WindowedStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;  // 0x10C80000
static_assert(FullScreenStyle == 0x90000000u && WindowedStyle == 0x10C80000u);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        case WM_CLOSE:
            // Several close requests can be queued (the render thread posts one
            // on every frame of the last second); the protocol runs for the
            // first and returns at once for the others.
            RunCloseProtocol();
            break;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(0x7F00));      // IDI_APPLICATION
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(0x7F00));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = WindowClassName;
    RegisterClassA(&windowClass);
}

// The outer size that gives an 800 x 600 client area with this window's frame.
void SizeClientArea(HWND window) {
    RECT outer{};
    RECT client{};
    if (!GetWindowRect(window, &outer)) FatalSystemError();
    if (!GetClientRect(window, &client)) FatalSystemError();
    const int width = (outer.right - outer.left) - client.right + ScreenWidth;
    const int height = (outer.bottom - outer.top) - client.bottom + ScreenHeight;
    if (!MoveWindow(window, WindowX, WindowY, width, height, TRUE)) FatalSystemError();
}

struct ThreadStart {
    WorkerProc proc;
    void* parameter;
};

}  // namespace

struct WorkerThread {
    HANDLE handle = nullptr;
    DWORD id = 0;
    bool resumed = false;
    ThreadStart start{};
};

namespace {

// The worker procedures are plain functions; the thread entry has the
// platform's calling convention.
DWORD WINAPI WorkerEntry(LPVOID argument) {
    const ThreadStart start = static_cast<WorkerThread*>(argument)->start;
    return start.proc(start.parameter);
}

}  // namespace

void InitialisePlatform() {
    BindDirectX();
    const std::string missing = MissingDirectXText();
    if (!missing.empty()) {
        ShowErrorBox(missing.c_str());
        ShutdownSteps(1);
    }
}

QuestionAnswer AskFullScreenQuestion() {
    switch (MessageBoxA(nullptr, "Fullscreen?", "", MB_YESNOCANCEL)) {
        case IDYES:
            return QuestionAnswer::Yes;
        case IDNO:
            return QuestionAnswer::No;
        case IDCANCEL:
            return QuestionAnswer::Cancel;
        default:
            return QuestionAnswer::NotShown;
    }
}

void OpenMainWindow() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterWindowClass(instance);
    const HWND window = CreateWindowExA(0, WindowClassName, FullScreen ? "Fullscreen" : "",
                                        FullScreen ? FullScreenStyle : WindowedStyle, WindowX, WindowY, 320,
                                        240, nullptr, nullptr, instance, nullptr);
    if (!window) FatalSystemError();
    WindowHandle = window;
    SizeClientArea(window);
    if (!ShowWindow(window, SW_SHOW)) FatalSystemError();
    if (!UpdateWindow(window)) FatalSystemError();
}

void RaiseProcessPriority() {
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

WorkerThread* CreateSuspendedWorker(WorkerProc proc, void* parameter, WorkerPriority priority) {
    auto* worker = new WorkerThread;
    worker->start = ThreadStart{proc, parameter};
    worker->handle = CreateThread(nullptr, 0, WorkerEntry, worker, CREATE_SUSPENDED, &worker->id);
    SetThreadPriority(worker->handle, priority == WorkerPriority::AboveNormal ? THREAD_PRIORITY_ABOVE_NORMAL
                                                                              : THREAD_PRIORITY_NORMAL);
    return worker;
}

void ResumeWorker(WorkerThread* worker) {
    if (!worker || !worker->handle) return;
    worker->resumed = true;
    ResumeThread(worker->handle);
}

void WaitForWorker(WorkerThread* worker) {
    // A worker that was never resumed never runs and would never end.
    if (!worker || !worker->handle || !worker->resumed) return;
    WaitForSingleObject(worker->handle, INFINITE);
}

// The record goes with the handle: the close protocol forgets the worker
// after closing it.
void CloseWorker(WorkerThread* worker) {
    if (!worker) return;
    if (worker->handle) CloseHandle(worker->handle);
    delete worker;
}

bool IsCurrentWorker(const WorkerThread* worker) {
    return worker && worker->handle && worker->id == GetCurrentThreadId();
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

void RunMessageLoop() {
    MSG message{};
    // GetMessageA returns -1 on an error; that must end the loop rather than
    // spin on a message that was never received.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

[[noreturn]] void ExitProcessWith(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

[[noreturn]] void FatalSystemError() {
    // The code is taken before the box is shown: the box's own calls may
    // change the last error, and a failure must not end with exit code 0.
    const DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string fallback;
    if (!text) {
        fallback = "Windows error " + std::to_string(code) + ".";
        text = fallback.data();
    }
    MessageBoxA(nullptr, text, nullptr, MB_OK);
    ShutdownSteps(code != 0 ? static_cast<int>(code) : 1);
}

void ShowErrorBox(const char* text) {
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

void UnloadLibraries() {
    UnbindDirectX();
}
