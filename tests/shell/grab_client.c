/* Writes the 800 x 600 area at (101, 101) of the screen, where the demo's
   client area lies, as a binary PPM. Quicker than a general screenshot tool,
   so a shot lands in the second it was meant for. Usage: grab_client OUT.ppm */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

enum { Left = 101, Top = 101, Width = 800, Height = 600 };

static unsigned Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long top = mask >> shift;
    return (unsigned)(value * 255 / top);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: grab_client OUT.ppm\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "grab_client: cannot open the display\n");
        return 1;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), Left, Top, Width, Height, AllPlanes, ZPixmap);
    if (image == NULL) {
        fprintf(stderr, "grab_client: cannot read the screen\n");
        return 1;
    }
    FILE* out = fopen(argv[1], "wb");
    if (out == NULL) {
        perror(argv[1]);
        return 1;
    }
    fprintf(out, "P6\n%d %d\n255\n", Width, Height);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const unsigned char rgb[3] = {(unsigned char)Channel(pixel, image->red_mask),
                                          (unsigned char)Channel(pixel, image->green_mask),
                                          (unsigned char)Channel(pixel, image->blue_mask)};
            fwrite(rgb, 1, 3, out);
        }
    }
    const int failed = fclose(out) != 0;
    XDestroyImage(image);
    XCloseDisplay(display);
    return failed;
}
