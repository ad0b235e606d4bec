// dxvornik85: the back buffer is a streaming texture; the driver decides
// where its memory lies and what its pitch is, and the frame is drawn straight
// into what the lock returns.
#include <cstring>

#include "shell/sdl/sdl_shell.h"

namespace {

SDL_Texture* BackBuffer = nullptr;
bool BackBufferLocked = false;

}  // namespace

bool CreateBackBuffer(SDL_Renderer* renderer) {
    BackBuffer = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                   ScreenWidth, ScreenHeight);
    return BackBuffer != nullptr;
}

bool ClearAndLockBackBuffer(FrameMemory& memory) {
    void* pixels = nullptr;
    int pitch = 0;
    if (BackBuffer == nullptr || SDL_LockTexture(BackBuffer, nullptr, &pixels, &pitch) != 0) return false;
    BackBufferLocked = true;
    auto* rows = static_cast<unsigned char*>(pixels);
    for (int y = 0; y < ScreenHeight; ++y) {
        std::memset(rows + static_cast<std::ptrdiff_t>(y) * pitch, 0, ScreenWidth * sizeof(Colour32));
    }
    memory.pixels = static_cast<Colour32*>(pixels);
    memory.pitch = pitch;
    return true;
}

void UnlockBackBuffer() {
    if (!BackBufferLocked) return;
    SDL_UnlockTexture(BackBuffer);
    BackBufferLocked = false;
}

void PresentBackBuffer(SDL_Renderer* renderer) {
    if (BackBuffer == nullptr) return;
    SDL_RenderCopy(renderer, BackBuffer, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void DestroyBackBuffer() {
    if (BackBuffer != nullptr) SDL_DestroyTexture(BackBuffer);
    BackBuffer = nullptr;
    BackBufferLocked = false;
}
