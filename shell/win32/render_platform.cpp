// The render thread's clock, sleep and close request on Win32. The frame
// memory and its presentation are the display's (display.cpp).
#include <windows.h>

#include "demo/render_platform.h"
#include "shell/program.h"

std::int64_t PlatformCounterFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

std::int64_t PlatformCounter() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

void PlatformSleep10ms() {
    Sleep(10);
}

void PlatformPostCloseRequest() {
    PostMessageA(static_cast<HWND>(WindowHandle), WM_CLOSE, 0, 0);
}
