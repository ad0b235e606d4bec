// What a capture of the whole show costs: runs of the program with each kind
// of output. A run is timed once, as real time, with the CPU time of the
// children beside it (user + system), since the PNG and video captures use
// more than one core. --benchmark_repetitions=3 gives three runs of each.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

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
        state.counters["cores"] =
            state.counters["cpu_s"] / real;  // on a busy machine, less than the design allows
        if (!ok) state.SkipWithError("the capture failed");
    }
    fs::remove_all(dir);
}

void BM_ShowNoOutput(benchmark::State& state) {
    WholeShow(state, {});
}
void BM_ShowWav(benchmark::State& state) {
    WholeShow(state, {"--wav", "/show.wav"});
}
void BM_ShowPngFrames(benchmark::State& state) {
    WholeShow(state, {"--png-dir", "/frames"});
}
void BM_ShowVideo(benchmark::State& state) {
    WholeShow(state, {"--video", "/show.mp4"});
}  // 1600 x 1200
void BM_ShowVideoScale1(benchmark::State& state) {
    WholeShow(state, {"--video", "/show.mp4", "--scale", "1"});
}

BENCHMARK(BM_ShowNoOutput)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowWav)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowPngFrames)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowVideo)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ShowVideoScale1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
