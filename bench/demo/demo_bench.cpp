// Time per whole frame of each scene (clearing the frame included), over a
// spread of animation phases; perf_bench has the cost of clearing and copying
// one frame, which is what every frame pays before anything is drawn.
#include <benchmark/benchmark.h>

#include <memory>

#include "demo/balls.h"
#include "demo/disc_rings.h"
#include "demo/landscape.h"
#include "demo/timeline.h"
#include "demo/twisted_column.h"
#include "raster/frame.h"
#include "raster/random.h"

namespace {

// Phases from the start of a 10 ms show to well past the end of a 1 ms show.
double PhaseOf(std::int64_t iteration) { return (iteration % 509) * 2.0117; }

void DrawWholeFrame(MemoryFrame& memory, std::int32_t sceneIndex, double phase) {
    const FrameView frame = BeginFrame(ClearMemoryFrame(memory));
    DrawScene(sceneIndex, frame, phase);
    EndFrame();
}

void BM_TitleFrame(benchmark::State& state) {
    auto memory = std::make_unique<MemoryFrame>();
    std::int64_t n = 0;
    for (auto _ : state) {
        DrawWholeFrame(*memory, static_cast<std::int32_t>(n++ % 10), 0.0);
        benchmark::DoNotOptimize(memory->pixels[300 * ScreenWidth + 400]);
    }
}
BENCHMARK(BM_TitleFrame)->Unit(benchmark::kMicrosecond);

void BM_BallFrame(benchmark::State& state) {
    auto memory = std::make_unique<MemoryFrame>();
    RandomSeed.store(0);
    InitBalls();
    for (auto _ : state) {
        UpdateBalls(0.01);
        DrawWholeFrame(*memory, 15, 0.0);
        benchmark::DoNotOptimize(memory->pixels[300 * ScreenWidth + 400]);
    }
}
BENCHMARK(BM_BallFrame)->Unit(benchmark::kMicrosecond);

void BM_RingsAndColumnFrame(benchmark::State& state) {
    auto memory = std::make_unique<MemoryFrame>();
    std::int64_t n = 0;
    for (auto _ : state) {
        DrawWholeFrame(*memory, 25, PhaseOf(n++));
        benchmark::DoNotOptimize(memory->pixels[300 * ScreenWidth + 400]);
    }
}
BENCHMARK(BM_RingsAndColumnFrame)->Unit(benchmark::kMicrosecond);

void BM_LandscapeFrame(benchmark::State& state) {
    auto memory = std::make_unique<MemoryFrame>();
    std::int64_t n = 0;
    for (auto _ : state) {
        DrawWholeFrame(*memory, 40, PhaseOf(n++));
        benchmark::DoNotOptimize(memory->pixels[450 * ScreenWidth + 400]);
    }
}
BENCHMARK(BM_LandscapeFrame)->Unit(benchmark::kMicrosecond);

// The parts of the heavier scenes on their own, onto a frame cleared once.
template <void (*Draw)(const FrameView&, double)>
void BM_EffectOnly(benchmark::State& state) {
    auto memory = std::make_unique<MemoryFrame>();
    const FrameView frame = BeginFrame(ClearMemoryFrame(*memory));
    std::int64_t n = 0;
    for (auto _ : state) {
        Draw(frame, PhaseOf(n++));
        benchmark::DoNotOptimize(memory->pixels[450 * ScreenWidth + 400]);
    }
    EndFrame();
}
BENCHMARK_TEMPLATE(BM_EffectOnly, DrawDiscRings)->Name("BM_DiscRingsOnly")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_EffectOnly, DrawTwistedColumn)->Name("BM_TwistedColumnOnly")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_EffectOnly, DrawLandscape)->Name("BM_LandscapeOnly")->Unit(benchmark::kMicrosecond);

void BM_LandscapeHeights(benchmark::State& state) {
    std::int64_t n = 0;
    for (auto _ : state) {
        const double phase = PhaseOf(n++);
        double sum = 0;
        for (int i = 0; i < LandscapeSize; ++i)
            for (int j = 0; j < LandscapeSize; ++j) sum += LandscapeHeight(i, j, phase);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_LandscapeHeights)->Unit(benchmark::kMicrosecond);

}  // namespace
