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

#include "base/random.h"
#include "show_runner.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

#if DX_PERF_WITH_SDL
#include <SDL.h>

#include "base/numeric.h"
#include "demo/landscape.h"
#include "raster/polyfill.h"
#include "raster/vec3.h"
#endif

namespace {

// ---- the floor -----------------------------------------------------------

void MemoryFloor(benchmark::State& state) {
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

// ---- whole frames of each scene -------------------------------------------

// Each scene's benchmark, and its cost in the summary as a multiple of the floor.
constexpr struct {
    const char* name;
    Scene scene;
    const char* label;
    double limit;
} SceneBenchmarks[] = {
    {"BM_TitlesFrame", Scene::Title, "titles frame / floor", 2},
    {"BM_BallsFrame", Scene::Balls, "balls frame / floor", 2},
    {"BM_RingsColumnFrame", Scene::RingsAndColumn, "rings with column frame / floor", 3},
    {"BM_LandscapeFrame", Scene::Landscape, "landscape with greetings frame / floor", 8},
};

void SceneFrames(benchmark::State& state, Scene scene) {
    SceneLoop loop = StartSceneLoop(scene);
    for (auto _ : state) {
        RenderNextFrame(loop);
        benchmark::DoNotOptimize(VirtualFrame()[300 * ScreenWidth + 400]);
    }
    state.counters["scene_frames"] = static_cast<double>(loop.phases.size());
}

// ---- the peer: SDL2's software renderer on the same triangles --------------

#if DX_PERF_WITH_SDL

// The landscape's triangles of one frame as SDL vertices: the cells row by
// row from the far edge, each as FillQuad splits it, (A, B, C) then (D, C, B),
// every corner projected and rounded as DrawLandscape does.
std::vector<SDL_Vertex> LandscapeVertices(double animPhase) {
    const auto corner = [animPhase](int i, int j) {
        ScreenPoint p{0, 0};
        Project(110 + 10 * j, 530 - 100 * LandscapeHeight(i, j, animPhase), -590 + 10 * i, 600, p);
        return SDL_FPoint{static_cast<float>(Round(p.x)), static_cast<float>(Round(p.y))};
    };
    std::vector<SDL_Vertex> vertices;
    for (int i = 1; i < LandscapeSize; ++i) {
        for (int j = 1; j < LandscapeSize; ++j) {
            const Colour32 rgb = LandscapeColour(LandscapeHeight(i, j, animPhase));
            const SDL_Color colour{Uint8(rgb >> 16), Uint8(rgb >> 8), Uint8(rgb), 255};
            const SDL_FPoint a = corner(i - 1, j - 1), b = corner(i - 1, j), c = corner(i, j - 1),
                             d = corner(i, j);
            for (const SDL_FPoint& p : {a, b, c, d, c, b}) vertices.push_back({p, colour, {0, 0}});
        }
    }
    return vertices;
}

// True when our filler, handed the vertices' triangles in order, draws
// exactly DrawLandscape's picture: the peer must be handed what we draw.
bool VerticesDrawTheLandscape(const std::vector<SDL_Vertex>& v, double animPhase) {
    std::vector<Colour32> ours(FramePixelCount), theirs(FramePixelCount);
    FrameTarget target;
    const FrameView frame = BeginFrame(target, ClearPackedFrame(ours.data()));
    const auto x = [&](std::size_t k) { return static_cast<std::int32_t>(v[k].position.x); };
    const auto y = [&](std::size_t k) { return static_cast<std::int32_t>(v[k].position.y); };
    for (std::size_t k = 0; k < v.size(); k += 3) {
        const SDL_Color c = v[k].color;
        FillTriangle(x(k), y(k), x(k + 1), y(k + 1), x(k + 2), y(k + 2), frame, PackColour(c.r, c.g, c.b));
    }
    DrawLandscape(BeginFrame(target, ClearPackedFrame(theirs.data())), animPhase);
    return ours == theirs;
}

// SDL_RenderClear, then (with triangles) one SDL_RenderGeometry call with the
// triangles of one of 32 frames spread evenly over the landscape scene.
void SdlFrames(benchmark::State& state, bool triangles) {
    std::vector<std::vector<SDL_Vertex>> lists(1);  // the clear alone: no triangles
    if (triangles) {
        const SceneLoop loop = StartSceneLoop(Scene::Landscape);
        lists.clear();
        for (std::size_t k = 0; k < 32; ++k) {
            const double phase = loop.phases[loop.phases.size() * k / 32];
            lists.push_back(LandscapeVertices(phase));
            if (!VerticesDrawTheLandscape(lists.back(), phase))
                return state.SkipWithError("the triangle lists do not give DrawLandscape's picture");
        }
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, ScreenWidth, ScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (!renderer) state.SkipWithError(SDL_GetError());
    if (renderer) SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    std::size_t n = 0;
    for (auto _ : state) {
        const std::vector<SDL_Vertex>& v = lists[n++ % lists.size()];
        SDL_RenderClear(renderer);
        if (!v.empty() &&
            SDL_RenderGeometry(renderer, nullptr, v.data(), static_cast<int>(v.size()), nullptr, 0)) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        SDL_RenderFlush(renderer);
        benchmark::ClobberMemory();
    }
    if (renderer) SDL_DestroyRenderer(renderer);
    if (surface) SDL_FreeSurface(surface);
}

#endif

// ---- the synthesizer -------------------------------------------------------

std::map<std::int64_t, double> SongSeconds;  // by rate: one loop of the song

void RenderSongSamples(benchmark::State& state) {
    const auto rate = static_cast<std::uint32_t>(state.range(0));
    Synth fresh;
    if (!StartSynth(fresh, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate).empty())
        return state.SkipWithError("the built-in song does not start");
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

void RegisterBenchmarks() {
    using benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("BM_MemoryFloor", MemoryFloor)->Unit(kMicrosecond);
    for (const auto& s : SceneBenchmarks)
        benchmark::RegisterBenchmark(s.name, SceneFrames, s.scene)->Unit(kMicrosecond);
#if DX_PERF_WITH_SDL
    benchmark::RegisterBenchmark("BM_SdlClear", SdlFrames, false)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_SdlLandscapeTriangles", SdlFrames, true)->Unit(kMicrosecond);
#endif
    benchmark::RegisterBenchmark("BM_RenderSamples", RenderSongSamples)
        ->ArgsProduct({{44100, 48000, 200000}})
        ->Unit(benchmark::kMillisecond);
}

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

// One ratio and whether it is at least (or, with atMost, at most) its limit;
// a limit of 0 is no target.
void Line(const std::string& what, double value, const char* unit, double limit, bool atMost = false) {
    const std::string target =
        limit == 0 ? "" : (atMost ? "target <= " : "target >= ") + std::to_string(int(limit));
    const bool met = atMost ? value <= limit : value >= limit;
    std::printf("  %-46s %9.2f %-16s %-14s %s\n", what.c_str(), value, unit, target.c_str(),
                met ? "met" : "NOT MET");
}

void PrintSummary(const SummaryReporter& r) {
    std::printf("\nSummary (least CPU time per iteration over the repetitions)\n");
    const double* floor = r.Find("BM_MemoryFloor");
    if (floor) std::printf("  %-46s %9.2f us\n", "memory floor: memset + memcpy of one frame", *floor * 1e6);
    for (const auto& s : SceneBenchmarks) {
        const double* t = r.Find(s.name);
        if (!floor || !t) continue;
        std::printf("  %-46s %9.2f us\n", s.name + 3, *t * 1e6);
        Line(s.label, *t / *floor, "x floor", s.limit, true);
    }
    const double* landscape = r.Find("BM_LandscapeFrame");
    const double* sdlAll = r.Find("BM_SdlLandscapeTriangles");
    const double* sdlClear = r.Find("BM_SdlClear");
    if (landscape && sdlAll && sdlClear) {
        const double sdlDraw = *sdlAll - *sdlClear;
        std::printf("  %-46s %9.2f us (clear %.2f us)\n", "SDL2 software renderer: landscape triangles",
                    sdlDraw * 1e6, *sdlClear * 1e6);
        Line("SDL2 draw alone / our whole landscape frame", sdlDraw / *landscape, "x faster", 4);
    }
    const std::pair<int, int> rates[] = {{44100, 0}, {48000, 500}, {200000, 120}};  // and their targets
    for (const auto& [rate, limit] : rates) {
        const double* t = r.Find("BM_RenderSamples/" + std::to_string(rate));
        if (t && SongSeconds.count(rate))
            Line("RenderSamples at " + std::to_string(rate) + " Hz", SongSeconds[rate] / *t, "x real time",
                 limit);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RegisterBenchmarks();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
