#include "shell/win32/display.h"

#include <cstring>

#include "demo/render_platform.h"
#include "shell/program.h"
#include "shell/shell_platform.h"
#include "shell/win32/dx_binding.h"

IDirectDraw7* DirectDrawObject = nullptr;
IDirectDrawSurface7* PrimarySurface = nullptr;
IDirectDrawSurface7* BackBuffer = nullptr;
DDSURFACEDESC2 BackBufferDesc{};

namespace {

// {15E65EC0-3B9C-11D2-B92F-00609797EA5B}
constexpr GUID DirectDraw7Id = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};

using DirectDrawCreateExProc = HRESULT(WINAPI*)(GUID*, LPVOID*, REFIID, IUnknown*);

constexpr DWORD RefreshRate = 60;
constexpr DWORD BitsPerPixel = 32;

HWND Window() {
    return static_cast<HWND>(WindowHandle);
}

// Whether the back buffer is locked now; only the render thread touches it.
bool FrameLocked = false;

// A surface lost to a mode change (another program took the full screen, or
// the user switched away) is given its memory back; while that is not
// possible yet the calls on it fail and the frame is skipped.
void RestoreIfLost(IDirectDrawSurface7* surface) {
    if (surface && surface->IsLost() == DDERR_SURFACELOST) surface->Restore();
}

template <typename Interface>
void Release(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

void CreateSurfaces() {
    std::memset(&BackBufferDesc, 0, sizeof BackBufferDesc);
    BackBufferDesc.dwSize = sizeof BackBufferDesc;
    BackBufferDesc.dwFlags = DDSD_CAPS;
    BackBufferDesc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    DirectDrawObject->CreateSurface(&BackBufferDesc, &PrimarySurface, nullptr);

    BackBufferDesc = BackBufferDescription(BackBufferCaps);
    DirectDrawObject->CreateSurface(&BackBufferDesc, &BackBuffer, nullptr);
}

}  // namespace

// The records as the 32-bit programs pass them.
static_assert(sizeof(void*) != 4 || sizeof(DDSURFACEDESC2) == 124);
static_assert(sizeof(void*) != 4 || sizeof(DDBLTFX) == 100);

DDSURFACEDESC2 BackBufferDescription(DWORD caps) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    // The drawing writes 32-bit pixels whatever the desktop's depth, so the
    // format is asked for rather than taken from the display.
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = ScreenWidth;
    desc.dwHeight = ScreenHeight;
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
    desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    return desc;
}

bool LockedFrameUsable(const DDSURFACEDESC2& locked) {
    constexpr LONG RowBytes = ScreenWidth * 4;
    return locked.lpSurface != nullptr && locked.lPitch >= RowBytes && locked.lPitch % 4 == 0 &&
           locked.ddpfPixelFormat.dwRGBBitCount == 32 && locked.dwWidth >= DWORD(ScreenWidth) &&
           locked.dwHeight >= DWORD(ScreenHeight);
}

HRESULT FillSurface(DWORD colour, IDirectDrawSurface7* surface) {
    if (!surface) return DDERR_INVALIDOBJECT;
    DDBLTFX effects;
    std::memset(&effects, 0, sizeof effects);
    effects.dwSize = sizeof effects;
    effects.dwFillColor = colour;
    return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

void SetUpDisplay() {
    // The binding has made sure that the entry point exists.
    const auto create = EntryPoint<DirectDrawCreateExProc>(DirectDraw, "DirectDrawCreateEx");
    void* object = nullptr;
    create(nullptr, &object, DirectDraw7Id, nullptr);
    DirectDrawObject = static_cast<IDirectDraw7*>(object);
    // Without a display object there is nothing to show; the show runs on
    // unseen (every frame is skipped) and ends as usual.
    if (!DirectDrawObject) return;

    if (FullScreen) {
        ShowCursor(FALSE);
        const HRESULT mode =
            DirectDrawObject->SetDisplayMode(ScreenWidth, ScreenHeight, BitsPerPixel, RefreshRate, 0);
        if (FAILED(mode)) ShutdownSteps(1);
        DirectDrawObject->SetCooperativeLevel(Window(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    } else {
        DirectDrawObject->SetCooperativeLevel(Window(), DDSCL_NORMAL);
    }
    CreateSurfaces();
    FillSurface(0, BackBuffer);
}

void RestoreDisplay() {
    if (!DirectDrawObject) return;
    DirectDrawObject->RestoreDisplayMode();
    DirectDrawObject->SetCooperativeLevel(Window(), DDSCL_NORMAL);
}

void ReleaseDisplayObjects() {
    Release(BackBuffer);
    Release(PrimarySurface);
    Release(DirectDrawObject);
}

bool PlatformLockFrame(FrameMemory& memory) {
    if (!BackBuffer || FrameLocked) return false;
    RestoreIfLost(BackBuffer);
    const bool cleared = SUCCEEDED(FillSurface(0, BackBuffer));
    // The lock writes the address into the description; an address left there
    // by an earlier frame must never be drawn through.
    BackBufferDesc.lpSurface = nullptr;
    if (FAILED(BackBuffer->Lock(nullptr, &BackBufferDesc, DDLOCK_WAIT, nullptr))) return false;
    if (!LockedFrameUsable(BackBufferDesc)) {
        BackBuffer->Unlock(nullptr);
        return false;
    }
    FrameLocked = true;
    memory.pixels = static_cast<Colour32*>(BackBufferDesc.lpSurface);
    memory.pitch = BackBufferDesc.lPitch;
    if (!cleared) {
        // Every frame starts black, with or without the blitter.
        auto* row = static_cast<unsigned char*>(BackBufferDesc.lpSurface);
        for (int y = 0; y < ScreenHeight; ++y, row += BackBufferDesc.lPitch)
            std::memset(row, 0, ScreenWidth * 4);
    }
    return true;
}

void PlatformUnlockFrame() {
    if (!FrameLocked) return;
    BackBuffer->Unlock(nullptr);
    FrameLocked = false;
}

void PlatformPresentFrame() {
    if (!BackBuffer || FrameLocked) return;
    if (FullScreen) {
        if (!PrimarySurface) return;
        RestoreIfLost(PrimarySurface);
        RECT source{0, 0, ScreenWidth, ScreenHeight};
        PrimarySurface->BltFast(0, 0, BackBuffer, &source, DDBLTFAST_WAIT);
        return;
    }
    HDC surfaceContext = nullptr;
    if (FAILED(BackBuffer->GetDC(&surfaceContext))) return;
    const HDC windowContext = GetDC(Window());
    BitBlt(windowContext, 0, 0, ScreenWidth, ScreenHeight, surfaceContext, 0, 0, SRCCOPY);
    ReleaseDC(Window(), windowContext);
    BackBuffer->ReleaseDC(surfaceContext);
}
