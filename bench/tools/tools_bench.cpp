// What a capture of the show costs: one frame encoded as PNG for each scene
// (the encoder threads' work per frame), and whole runs of the program with
// each kind of output. A whole run is timed once, as real time, with the
// process's own CPU time beside it (user + system of the children), since
// the PNG and video captures use more than one core.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "demo/balls.h"
#include "demo/timeline.h"
#include "png_file.h"
#include "raster/frame.h"
#include "raster/random.h"

namespace fs = std::filesystem;

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

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool RunCapture(const std::vector<std::string>& options) {
    std::string command = std::string("'") + CAPTURE_BINARY + "'";
    for (const std::string& o : options) command += " '" + o + "'";
    return std::system((command + " 2>/dev/null").c_str()) == 0;
}

void WholeShow(benchmark::State& state, const std::vector<std::string>& outputs) {
    const fs::path dir = fs::temp_directory_path() / ("dxvornik85-capture-bench-" + std::to_string(getpid()));
    for (auto _ : state) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::vector<std::string> options;
        for (const std::string& o : outputs) options.push_back(o.find('/') == 0 ? dir.string() + o : o);
        const double cpuBefore = ChildrenCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = RunCapture(options);
        const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(real);
        state.counters["cpu_s"] = ChildrenCpuSeconds() - cpuBefore;
        state.counters["cores"] = state.counters["cpu_s"] / real;  // on a busy machine, less than the design allows
        if (!ok) state.SkipWithError("the capture failed");
    }
    fs::remove_all(dir);
}

void BM_ShowNoOutput(benchmark::State& state) { WholeShow(state, {}); }
void BM_ShowWav(benchmark::State& state) { WholeShow(state, {"--wav", "/show.wav"}); }
void BM_ShowPngFrames(benchmark::State& state) { WholeShow(state, {"--png-dir", "/frames"}); }
void BM_ShowVideo(benchmark::State& state) { WholeShow(state, {"--video", "/show.mp4"}); }

BENCHMARK(BM_ShowNoOutput)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowWav)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowPngFrames)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowVideo)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
