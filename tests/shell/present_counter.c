/* Counts the frames a program presents through SDL, second by second from
   its first frame, without changing the program: loaded with LD_PRELOAD, it
   stands in for SDL_UpdateWindowSurface, passes every call on, and appends
   one line "second frames" to the file named by PRESENT_COUNTER_FILE as each
   second ends. Only one thread presents, so no lock is needed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef struct SDL_Window SDL_Window;

static double Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

int SDL_UpdateWindowSurface(SDL_Window* window) {
    static int (*real)(SDL_Window*) = NULL;
    static double first = -1.0;
    static long second = 0;
    static long frames = 0;
    if (real == NULL) *(void**)(&real) = dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    const int result = real(window);
    const double now = Now();
    if (first < 0.0) first = now;
    const long current = (long)(now - first);
    if (current != second) {
        const char* path = getenv("PRESENT_COUNTER_FILE");
        FILE* out = path != NULL ? fopen(path, "a") : NULL;
        if (out != NULL) {
            fprintf(out, "%ld %ld\n", second, frames);
            fclose(out);
        }
        second = current;
        frames = 0;
    }
    ++frames;
    return result;
}
