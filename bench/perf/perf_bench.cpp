// The show's cost measured against a floor and a peer in one run:
//  - the memory floor: clearing one 800 x 600 x 4-byte frame and copying it
//    once, what every frame costs before anything is drawn and presented;
//  - one whole frame of each scene (RenderFrame on the virtual platform, the
//    clear included), frame after frame through the scene as the show plays it;
//  - the peer: SDL2's software renderer drawing the landscape's 7,938
//    triangles of the same frames (one SDL_RenderGeometry call after
//    SDL_RenderClear), and the clear alone, so its draw can be told apart;
//  - RenderSamples over one loop of the song at three rates.
// After the usual table a summary gives each figure as a ratio (least CPU
// time of the repetitions: the machine is shared, and what others take is
// not the program's cost).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "landscape_triangles.h"
#include "base/random.h"
#include "show_runner.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

#if DX_PERF_WITH_SDL
#include <SDL.h>
#endif

namespace {

// ---- the floor -----------------------------------------------------------

void BM_MemoryFloor(benchmark::State& state) {
    std::vector<Colour32> back(FramePixelCount), screen(FramePixelCount);
    constexpr std::size_t Bytes = FramePixelCount * sizeof(Colour32);
    for (auto _ : state) {
        std::memset(back.data(), 0, Bytes);
        benchmark::ClobberMemory();
        std::memcpy(screen.data(), back.data(), Bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 2 * static_cast<std::int64_t>(Bytes));
}
BENCHMARK(BM_MemoryFloor)->Unit(benchmark::kMicrosecond);

// ---- whole frames of each scene -------------------------------------------

void SceneFrames(benchmark::State& state, Scene scene) {
    SceneLoop loop = StartSceneLoop(scene);
    for (auto _ : state) {
        RenderNextFrame(loop);
        benchmark::DoNotOptimize(VirtualFrame()[300 * ScreenWidth + 400]);
    }
    state.counters["scene_frames"] = static_cast<double>(loop.phases.size());
}

void BM_TitlesFrame(benchmark::State& state) {
    SceneFrames(state, Scene::Title);
}
void BM_BallsFrame(benchmark::State& state) {
    SceneFrames(state, Scene::Balls);
}
void BM_RingsColumnFrame(benchmark::State& state) {
    SceneFrames(state, Scene::RingsAndColumn);
}
void BM_LandscapeFrame(benchmark::State& state) {
    SceneFrames(state, Scene::Landscape);
}
BENCHMARK(BM_TitlesFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BallsFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RingsColumnFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LandscapeFrame)->Unit(benchmark::kMicrosecond);

// ---- the peer: SDL2's software renderer on the same triangles --------------

#if DX_PERF_WITH_SDL

// Triangle lists of frames spread evenly over the landscape scene.
constexpr int PeerPhaseCount = 32;

std::vector<double> PeerPhases() {
    const SceneLoop loop = StartSceneLoop(Scene::Landscape);
    std::vector<double> phases;
    for (int k = 0; k < PeerPhaseCount; ++k)
        phases.push_back(loop.phases[loop.phases.size() * k / PeerPhaseCount]);
    return phases;
}

struct SdlTarget {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;

    SdlTarget() {
        surface = SDL_CreateRGBSurfaceWithFormat(0, ScreenWidth, ScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        if (surface) renderer = SDL_CreateSoftwareRenderer(surface);
        if (renderer) SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    }
    ~SdlTarget() {
        if (renderer) SDL_DestroyRenderer(renderer);
        if (surface) SDL_FreeSurface(surface);
    }
    SdlTarget(const SdlTarget&) = delete;
    SdlTarget& operator=(const SdlTarget&) = delete;

    void Clear() { SDL_RenderClear(renderer); }
};

std::vector<SDL_Vertex> SdlVertices(const std::vector<ScreenTriangle>& triangles) {
    std::vector<SDL_Vertex> vertices;
    vertices.reserve(3 * triangles.size());
    for (const ScreenTriangle& t : triangles) {
        const SDL_Color colour{static_cast<Uint8>(t.colour >> 16), static_cast<Uint8>(t.colour >> 8),
                               static_cast<Uint8>(t.colour), 255};
        for (int k = 0; k < 3; ++k)
            vertices.push_back({{static_cast<float>(t.x[k]), static_cast<float>(t.y[k])}, colour, {0, 0}});
    }
    return vertices;
}

void BM_SdlClear(benchmark::State& state) {
    SdlTarget target;
    if (!target.renderer) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    for (auto _ : state) {
        target.Clear();
        SDL_RenderFlush(target.renderer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SdlClear)->Unit(benchmark::kMicrosecond);

void BM_SdlLandscapeTriangles(benchmark::State& state) {
    SdlTarget target;
    if (!target.renderer) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    std::vector<std::vector<SDL_Vertex>> lists;
    for (const double phase : PeerPhases()) {
        // The peer must be handed exactly what our filler draws for the frame.
        if (!TrianglesMatchLandscape(phase)) {
            state.SkipWithError("the triangle lists do not give DrawLandscape's picture");
            return;
        }
        lists.push_back(SdlVertices(LandscapeTriangles(phase)));
    }
    std::size_t n = 0;
    for (auto _ : state) {
        const std::vector<SDL_Vertex>& v = lists[n++ % lists.size()];
        target.Clear();
        if (SDL_RenderGeometry(target.renderer, nullptr, v.data(), static_cast<int>(v.size()), nullptr, 0) !=
            0) {
            state.SkipWithError(SDL_GetError());
            return;
        }
        SDL_RenderFlush(target.renderer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SdlLandscapeTriangles)->Unit(benchmark::kMicrosecond);

#endif

// ---- the synthesizer -------------------------------------------------------

std::map<std::int64_t, double> SongSeconds;  // by rate: one loop of the song

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
        auto s = std::make_unique<Synth>(fresh);
        RandomSeed.store(0);
        state.ResumeTiming();
        for (std::int64_t done = 0; done < loop; done += static_cast<std::int64_t>(chunk.size())) {
            const auto n = static_cast<std::int32_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(chunk.size()), loop - done));
            RenderSamples(*s, chunk.data(), n);
        }
        benchmark::DoNotOptimize(chunk.data());
    }
    SongSeconds[rate] = static_cast<double>(loop) / rate;
    state.counters["x_realtime"] = benchmark::Counter(
        SongSeconds[rate] * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderSamples)->Arg(44100)->Arg(48000)->Arg(200000)->Unit(benchmark::kMillisecond);

// ---- the summary -----------------------------------------------------------

// Keeps, per benchmark, the least CPU seconds per iteration of its repetitions.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            const double perIteration = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            auto [it, fresh] = seconds.emplace(name, perIteration);
            if (!fresh) it->second = std::min(it->second, perIteration);
        }
    }

    const double* Find(const std::string& name) const {
        const auto it = seconds.find(name);
        return it == seconds.end() ? nullptr : &it->second;
    }
};

void Line(const char* what, double value, const char* unit, const char* target, bool met) {
    std::printf("  %-46s %9.2f %-16s %-14s %s\n", what, value, unit, target, met ? "met" : "NOT MET");
}

void PrintSummary(const SummaryReporter& r) {
    std::printf("\nSummary (least CPU time per iteration over the repetitions)\n");
    const double* floor = r.Find("BM_MemoryFloor");
    if (floor) {
        std::printf("  %-46s %9.2f us\n", "memory floor: memset + memcpy of one frame", *floor * 1e6);
        const struct {
            const char* name;
            const char* label;
            double limit;
            const char* target;
        } scenes[] = {
            {"BM_TitlesFrame", "titles frame / floor", 2, "target <= 2"},
            {"BM_BallsFrame", "balls frame / floor", 2, "target <= 2"},
            {"BM_RingsColumnFrame", "rings with column frame / floor", 3, "target <= 3"},
            {"BM_LandscapeFrame", "landscape with greetings frame / floor", 8, "target <= 8"},
        };
        for (const auto& s : scenes) {
            if (const double* t = r.Find(s.name)) {
                std::printf("  %-46s %9.2f us\n", s.name + 3, *t * 1e6);
                Line(s.label, *t / *floor, "x floor", s.target, *t / *floor <= s.limit);
            }
        }
    }
    const double* landscape = r.Find("BM_LandscapeFrame");
    const double* sdlAll = r.Find("BM_SdlLandscapeTriangles");
    const double* sdlClear = r.Find("BM_SdlClear");
    if (landscape && sdlAll && sdlClear) {
        const double sdlDraw = *sdlAll - *sdlClear;
        std::printf("  %-46s %9.2f us (clear %.2f us)\n", "SDL2 software renderer: landscape triangles",
                    sdlDraw * 1e6, *sdlClear * 1e6);
        Line("SDL2 draw alone / our whole landscape frame", sdlDraw / *landscape, "x faster", "target >= 4",
             sdlDraw / *landscape >= 4);
    }
    const struct {
        std::int64_t rate;
        double limit;
        const char* target;
    } rates[] = {{44100, 0, ""}, {48000, 500, "target >= 500"}, {200000, 120, "target >= 120"}};
    for (const auto& rate : rates) {
        const double* t = r.Find("BM_RenderSamples/" + std::to_string(rate.rate));
        const auto song = SongSeconds.find(rate.rate);
        if (!t || song == SongSeconds.end()) continue;
        const std::string label = "RenderSamples at " + std::to_string(rate.rate) + " Hz";
        Line(label.c_str(), song->second / *t, "x real time", rate.target, song->second / *t >= rate.limit);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
