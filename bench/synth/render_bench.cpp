// RenderSamples over one loop of the built-in song at three device rates.
// The "x realtime" counter is the song's duration divided by the time taken.
#include <benchmark/benchmark.h>

#include <vector>

#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

void RenderOneLoop(benchmark::State& state) {
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

BENCHMARK(RenderOneLoop)->Arg(44100)->Arg(48000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
