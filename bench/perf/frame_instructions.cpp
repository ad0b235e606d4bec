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

namespace {

bool SceneNamed(const char* name, Scene& scene) {
    const struct {
        const char* name;
        Scene scene;
    } names[] = {{"titles", Scene::Title},
                 {"balls", Scene::Balls},
                 {"rings", Scene::RingsAndColumn},
                 {"landscape", Scene::Landscape}};
    for (const auto& n : names) {
        if (std::strcmp(n.name, name) == 0) {
            scene = n.scene;
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Scene scene;
    if (argc < 2 || argc > 3 || !SceneNamed(argv[1], scene)) {
        std::fprintf(stderr, "usage: frame_instructions titles|balls|rings|landscape [FRAMES]\n");
        return 2;
    }
    SceneLoop loop = StartSceneLoop(scene);
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
