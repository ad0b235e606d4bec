// The heavier effects on their own, and the landscape's heights, over a
// spread of animation phases. Whole frames of each scene, beside the memory
// floor, are perf_bench's.
#include <benchmark/benchmark.h>

#include <memory>

#include "demo/disc_rings.h"
#include "demo/landscape.h"
#include "demo/twisted_column.h"
#include "raster/frame.h"

namespace {

// Phases from the start of a 10 ms show to well past the end of a 1 ms show.
double PhaseOf(std::int64_t iteration) { return (iteration % 509) * 2.0117; }

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
