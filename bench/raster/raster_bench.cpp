// Drawing costs of the primitives on an 800 x 600 in-memory frame; perf_bench
// has the show's whole frames, the landscape's 7,938 triangles among them.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "raster/frame.h"
#include "raster/numeric.h"
#include "raster/polychar.h"
#include "raster/polyfill.h"
#include "raster/primitives.h"

namespace {

void BM_FillTriangleSmall(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    std::mt19937 random(1);
    std::vector<int> c(3 * 1024 * 2);
    for (std::size_t i = 0; i < c.size(); i += 6) {
        const int x = static_cast<int>(random() % 780), y = static_cast<int>(random() % 590);
        c[i] = x;
        c[i + 1] = y;
        c[i + 2] = x + 10;
        c[i + 3] = y + static_cast<int>(random() % 3);
        c[i + 4] = x + static_cast<int>(random() % 11);
        c[i + 5] = y + 3;
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < c.size(); i += 6) {
            FillTriangle(c[i], c[i + 1], c[i + 2], c[i + 3], c[i + 4], c[i + 5], frame->view, 0x808080);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(c.size() / 6));
}
BENCHMARK(BM_FillTriangleSmall);

void BM_FillTriangleLarge(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    for (auto _ : state) {
        FillTriangle(100, 50, 700, 200, 250, 560, frame->view, 0x406080);
        FillTriangle(700, 590, 20, 300, 600, 10, frame->view, 0x804020);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_FillTriangleLarge);

void BM_FillQuadSmall(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const int x = (i * 37) % 780, y = (i * 13) % 590;
            FillQuad(x, y, x + 10, y + 1, x + 1, y + 3, x + 11, y + 4, frame->view, 0x336699);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_FillQuadSmall);

void BM_ShadedDisc(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    const int r = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ShadedDisc(400, 300, r, frame->view, 0xFF8040);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShadedDisc)->Arg(16)->Arg(30)->Arg(60);

void BM_DrawLine(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    std::mt19937 random(2);
    std::vector<int> c(4 * 1000);
    for (int& v : c) v = static_cast<int>(random() % 600);
    for (auto _ : state) {
        for (std::size_t i = 0; i < c.size(); i += 4) {
            DrawLine(c[i], c[i + 1], c[i + 2], c[i + 3], frame->view, 0xFFFFFF);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DrawLine);

void BM_DrawCentredText(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    for (auto _ : state) {
        DrawCentredText(300, "Greetings to everybody!", 0xFFFFFF, 20, 20, frame->view);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 23);  // glyphs
}
BENCHMARK(BM_DrawCentredText);

void BM_Sine(benchmark::State& state) {
    double x = 0.1, sum = 0;
    for (auto _ : state) {
        sum += Sine(x);
        x += 0.37;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Sine);

void BM_Exponential(benchmark::State& state) {
    double x = -20, sum = 0;
    for (auto _ : state) {
        sum += Exponential(x);
        x = x > 20 ? -20 : x + 0.013;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Exponential);

}  // namespace
