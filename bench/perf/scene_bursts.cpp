// Whole frames of one scene in bursts, on request: the native side of
// bench/web/measure_frames.mjs, which asks for a burst here and then the
// same burst of the same scene in Chromium, turn about, so that both sides
// meet the same spells of a shared machine's load.
//   stdin:  "<scene> <frames>" per request (scene 0 titles, 1 balls,
//           2 rings and column, 3 landscape)
//   stdout: the burst's wall time in microseconds and a pixel of its last
//           frame, one line per request
// A burst of a new scene starts at the scene's first frame; one of the same
// scene goes on where the last stopped, as the browser's module does.
#include <chrono>
#include <iostream>

#include "show_runner.h"

int main() {
    SceneLoop loop;
    int current = -1;
    int scene = 0;
    int frames = 0;
    while (std::cin >> scene >> frames) {
        if (scene != current) {
            loop = StartSceneLoop(static_cast<Scene>(scene));
            current = scene;
        }
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) RenderNextFrame(loop);
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        std::cout << spent.count() << ' ' << VirtualFrame()[300 * ScreenWidth + 400] << std::endl;
    }
    return 0;
}
