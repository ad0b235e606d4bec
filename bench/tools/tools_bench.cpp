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

void WholeShow(benchmark::State& state, const std::vector<std::string>& outputs) {
    const fs::path dir = fs::temp_directory_path() / ("dxvornik85-capture-bench-" + std::to_string(getpid()));
    std::string command = std::string("'") + CAPTURE_BINARY + "'";
    for (const std::string& o : outputs) command += " '" + (o.find('/') == 0 ? dir.string() + o : o) + "'";
    for (auto _ : state) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        const double cpuBefore = ChildrenCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = std::system((command + " 2>/dev/null").c_str()) == 0;
        const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(real);
        state.counters["cpu_s"] = ChildrenCpuSeconds() - cpuBefore;
        // On a busy machine, fewer than the design allows.
        state.counters["cores"] = state.counters["cpu_s"] / real;
        if (!ok) state.SkipWithError("the capture failed");
    }
    fs::remove_all(dir);
}

// Each capture by name; an output path starting with '/' is put in a fresh directory.
const std::pair<const char*, std::vector<std::string>> Captures[] = {
    {"BM_ShowNoOutput", {}},
    {"BM_ShowWav", {"--wav", "/show.wav"}},
    {"BM_ShowPngFrames", {"--png-dir", "/frames"}},
    {"BM_ShowVideo", {"--video", "/show.mp4"}},  // 1600 x 1200
    {"BM_ShowVideoScale1", {"--video", "/show.mp4", "--scale", "1"}},
};

const bool Registered = [] {
    for (const auto& [name, outputs] : Captures) {
        auto* b = benchmark::RegisterBenchmark(name, WholeShow, outputs);
        b->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    }
    return true;
}();

}  // namespace
