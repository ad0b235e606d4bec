// dxvornik85-sysmem: the back buffer is a surface in system memory that the
// program owns; it is drawn into there and copied into the window's
// framebuffer once per frame.
#include "shell/sdl/sdl_shell.h"

bool DrawsIntoFramebuffer(const SDL_Surface&) {
    return false;
}
