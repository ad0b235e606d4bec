#pragma once
// The DirectDraw display: the primary surface, the 800 x 600 back buffer the
// frames are drawn into, and their presentation.
#include <windows.h>
#include <ddraw.h>

extern IDirectDraw7* DirectDrawObject;
extern IDirectDrawSurface7* PrimarySurface;
extern IDirectDrawSurface7* BackBuffer;
extern DDSURFACEDESC2 BackBufferDesc;

// Where the back buffer is created: DDSCAPS_OFFSCREENPLAIN (0x40), with
// DDSCAPS_SYSTEMMEMORY (0x840) in the system-memory program. Each program
// defines it in its own source file; it is the only difference between them.
extern const DWORD BackBufferCaps;

// Fills the whole surface with colour through the blitter. Returns the
// blitter's result.
HRESULT FillSurface(DWORD colour, IDirectDrawSurface7* surface);

// The description of the back buffer: 800 x 600, 32-bit RGB pixels
// (0x00RRGGBB), with the given capabilities.
DDSURFACEDESC2 BackBufferDescription(DWORD caps);

// True when a lock's description gives memory that 800 x 600 pixels of
// 32 bits fit into.
bool LockedFrameUsable(const DDSURFACEDESC2& locked);
