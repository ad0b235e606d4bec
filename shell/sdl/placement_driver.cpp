// dxvornik85: the back buffer is the window's own framebuffer, whose memory
// and pitch the video driver chooses (under X11 an image in memory shared
// with the X server); the frame is drawn straight into it and handed to the
// screen as it is. A desktop whose pixels are not 32-bit, or a window that
// has been given another size, gets a back buffer of the program's own,
// converted or cut on its way to the screen.
#include "shell/sdl/sdl_shell.h"

bool DrawsIntoFramebuffer(const SDL_Surface& screen) {
    return screen.format->format == SDL_PIXELFORMAT_RGB888 && screen.w == ScreenWidth &&
           screen.h == ScreenHeight;
}
