// dxvornik85-sysmem: the back buffer is a surface in system memory that the
// program owns; it is drawn into there and uploaded to the screen's texture
// once per frame.
#include "shell/sdl/sdl_shell.h"

namespace {

SDL_Surface* BackBuffer = nullptr;
SDL_Texture* ScreenTexture = nullptr;
bool BackBufferLocked = false;

}  // namespace

bool CreateBackBuffer(SDL_Renderer* renderer) {
    BackBuffer = SDL_CreateRGBSurfaceWithFormat(0, ScreenWidth, ScreenHeight, 32, SDL_PIXELFORMAT_RGB888);
    ScreenTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                      ScreenWidth, ScreenHeight);
    return BackBuffer != nullptr && ScreenTexture != nullptr;
}

bool ClearAndLockBackBuffer(FrameMemory& memory) {
    if (BackBuffer == nullptr || ScreenTexture == nullptr) return false;
    SDL_FillRect(BackBuffer, nullptr, 0);
    if (SDL_LockSurface(BackBuffer) != 0) return false;
    BackBufferLocked = true;
    memory.pixels = static_cast<Colour32*>(BackBuffer->pixels);
    memory.pitch = BackBuffer->pitch;
    return true;
}

void UnlockBackBuffer() {
    if (!BackBufferLocked) return;
    SDL_UnlockSurface(BackBuffer);
    BackBufferLocked = false;
}

void PresentBackBuffer(SDL_Renderer* renderer) {
    if (BackBuffer == nullptr || ScreenTexture == nullptr) return;
    SDL_UpdateTexture(ScreenTexture, nullptr, BackBuffer->pixels, BackBuffer->pitch);
    SDL_RenderCopy(renderer, ScreenTexture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void DestroyBackBuffer() {
    if (ScreenTexture != nullptr) SDL_DestroyTexture(ScreenTexture);
    if (BackBuffer != nullptr) SDL_FreeSurface(BackBuffer);
    ScreenTexture = nullptr;
    BackBuffer = nullptr;
    BackBufferLocked = false;
}
