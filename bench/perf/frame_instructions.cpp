// Draws frames of one scene for an instruction count under callgrind:
//   valgrind --tool=callgrind --collect-atstart=no frame_instructions SCENE [FRAMES]
// Only the drawn frames (RenderFrame, clear included) are collected; the
// set-up, the fast-forward to the scene and the frames in between are not.
// FRAMES frames are spread evenly over the scene (all of them when FRAMES is
// 0 or at least the scene's length). Prints the number of frames collected.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "show_runner.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

int main(int argc, char** argv) {
    const char* const names[] = {"titles", "balls", "rings", "landscape"};  // in the schedule's order
    int scene = 0;
    while (argc >= 2 && scene < 4 && std::strcmp(argv[1], names[scene]) != 0) ++scene;
    if (argc < 2 || argc > 3 || scene == 4) {
        std::fprintf(stderr, "usage: frame_instructions titles|balls|rings|landscape [FRAMES]\n");
        return 2;
    }
    SceneLoop loop = StartSceneLoop(static_cast<Scene>(scene));
    const long total = static_cast<long>(loop.phases.size());
    long wanted = argc == 3 ? std::atol(argv[2]) : 0;
    if (wanted <= 0 || wanted > total) wanted = total;
    long drawn = 0;
    for (long k = 0; k < total && drawn < wanted; ++k) {
        // Frame k is drawn when it is the first at or after the next even mark.
        if (k * wanted >= drawn * total) {
            CALLGRIND_TOGGLE_COLLECT;
            RenderNextFrame(loop);
            CALLGRIND_TOGGLE_COLLECT;
            ++drawn;
        } else {
            SkipNextFrame(loop);
        }
    }
    std::printf("%ld\n", drawn);
    return 0;
}
