// What one frame encoded as PNG costs for each scene: the encoder threads'
// work per frame. Whole runs of the capture, with each kind of output, are
// timed by bench/run-capture-bench.sh.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "demo/balls.h"
#include "demo/timeline.h"
#include "png_file.h"
#include "raster/frame.h"
#include "raster/random.h"

namespace {

// A frame of the scene at `second`, drawn as the show draws it after a few seconds.
std::unique_ptr<MemoryFrame> SceneFrame(int second) {
    auto memory = std::make_unique<MemoryFrame>();
    RandomSeed.store(0);
    InitBalls();
    for (int i = 0; i < 300; ++i) UpdateBalls(0.01);
    const FrameView frame = BeginFrame(ClearMemoryFrame(*memory));
    DrawScene(second, frame, second * 100 * 0.02);
    EndFrame();
    return memory;
}

void BM_PngFrame(benchmark::State& state) {
    const auto memory = SceneFrame(static_cast<int>(state.range(0)));
    PngEncoderPtr encoder = MakePngEncoder(static_cast<int>(state.range(1)));
    std::vector<std::uint8_t> file;
    for (auto _ : state) {
        EncodePng(*encoder, memory->pixels, ScreenWidth, ScreenHeight, file);
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
// Seconds 1 (title), 15 (balls), 30 (rings and column), 45 (landscape), at
// the capture's level 1 and at zlib's default level 6 for comparison.
BENCHMARK(BM_PngFrame)
    ->ArgsProduct({{1, 15, 30, 45}, {1, 6}})
    ->ArgNames({"second", "level"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
