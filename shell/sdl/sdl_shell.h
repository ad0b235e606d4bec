#pragma once
// What the pieces of the SDL shell share among themselves.
#include <SDL2/SDL.h>

#include "raster/frame.h"

// The one window; created and destroyed by the main thread.
extern SDL_Window* MainWindow;

// The event the render thread posts to ask the window to close.
extern Uint32 CloseRequestEvent;

bool OnMainThread();

// Makes the back buffer on the calling thread. The render thread does it
// while it waits to be resumed, so that the show's clock does not start with
// the time the window's framebuffer took to be made.
void PrepareThreadDisplay();

// Frees what the render thread made for itself. The render worker calls it
// on its own thread as its procedure returns; the window's framebuffer goes
// with the window.
void ReleaseThreadDisplay();

// The back buffer's placement, one per program: whether the frame is drawn
// straight into the window's framebuffer `screen`, rather than into an
// 800 x 600 surface of 32-bit pixels of the program's own that is copied
// into it. Asked on the render thread whenever the framebuffer is new.
bool DrawsIntoFramebuffer(const SDL_Surface& screen);

// The presenting thread of the render thread, started as it prepares its
// display and stopped as it releases it.
void StartPresenter();
void StopPresenter();  // shows what is still pending first

// Hands the finished frame in `from` over to be shown: copied into the
// window's framebuffer `to` unless it is that, and put on the screen. The
// caller leaves `from` alone until WaitForPresent has returned.
void PresentInTurn(SDL_Surface* from, SDL_Surface* to);

// Returns once the frame handed over last is on the screen: that frame's
// surface if the presenting thread has since cleared it to black, else null.
SDL_Surface* WaitForPresent();
