// RenderSamples over one loop of the built-in song at 44,100, 48,000 and
// 200,000 Hz, in the audio thread's 20 ms passes. "x_realtime" is the
// song's duration divided by the time taken (targets: 500 x at 48 kHz,
// 120 x at 200 kHz). The project's one benchmark of RenderSamples.
#include <benchmark/benchmark.h>

#include <vector>

#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

void BM_RenderSamples(benchmark::State& state) {
  const auto rate = static_cast<std::uint32_t>(state.range(0));
  Synth fresh;
  if (!StartSynth(fresh, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate).empty()) {
    state.SkipWithError("the built-in song does not start");
    return;
  }
  const std::int64_t loop = SongLoopSamples(fresh);
  std::vector<std::int16_t> chunk(rate / 50);  // the audio thread's 20 ms passes
  for (auto _ : state) {
    state.PauseTiming();
    Synth s = fresh;
    RandomSeed = 0;
    state.ResumeTiming();
    for (std::int64_t done = 0; done < loop; done += static_cast<std::int64_t>(chunk.size())) {
      const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(chunk.size(), loop - done));
      RenderSamples(s, chunk.data(), n);
    }
    benchmark::DoNotOptimize(chunk.data());
  }
  const double songSeconds = static_cast<double>(loop) / rate;
  state.counters["x_realtime"] =
      benchmark::Counter(songSeconds * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.SetItemsProcessed(state.iterations() * loop);
}

BENCHMARK(BM_RenderSamples)->Arg(44100)->Arg(48000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
