// Asks a window to close the way a window manager does when its close button
// is clicked: a WM_DELETE_WINDOW client message. Usage: send_close WINDOW-ID
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    Display* display = argc == 2 ? XOpenDisplay(NULL) : NULL;
    if (display == NULL) {
        fprintf(stderr, "usage: send_close WINDOW-ID (on an open $DISPLAY)\n");
        return 2;
    }
    XEvent event = {.xclient = {.type = ClientMessage, .format = 32}};
    event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
