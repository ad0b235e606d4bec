#pragma once
// What the pieces of the SDL shell share among themselves.
#include <SDL2/SDL.h>

#include "raster/frame.h"

// The one window; created and destroyed by the main thread.
extern SDL_Window* MainWindow;

// The event the render thread posts to ask the window to close.
extern Uint32 CloseRequestEvent;

bool OnMainThread();

// Makes the renderer and the back buffer on the calling thread. The render
// thread does it while it waits to be resumed, so that the show's clock does
// not start with the time the renderer took to be made.
void PrepareThreadDisplay();

// Frees what the render thread created for itself (the renderer and the back
// buffer). The render worker calls it on its own thread as its procedure
// returns, so the renderer never outlives its thread.
void ReleaseThreadDisplay();

// The back buffer, one placement per program. All calls are made on the
// render thread, with the renderer created there.
bool CreateBackBuffer(SDL_Renderer* renderer);
bool ClearAndLockBackBuffer(FrameMemory& memory);  // black, then locked
void UnlockBackBuffer();
void PresentBackBuffer(SDL_Renderer* renderer);
void DestroyBackBuffer();
