// Counts the frames a program presents through SDL, second by second from
// its first frame, without changing the program: loaded with LD_PRELOAD, it
// stands in for SDL_UpdateWindowSurface, passes every call on, and appends
// one line "second frames" to the file named by PRESENT_COUNTER_FILE as each
// second ends. Only one thread presents, so no lock is needed.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef struct SDL_Window SDL_Window;

int SDL_UpdateWindowSurface(SDL_Window* window) {
    static int (*real)(SDL_Window*);
    static struct timespec first;
    static long second, frames;
    if (real == NULL) {
        *(void**)(&real) = dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
        clock_gettime(CLOCK_MONOTONIC, &first);
    }
    const int result = real(window);
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long current = now.tv_sec - first.tv_sec - (now.tv_nsec < first.tv_nsec);
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
