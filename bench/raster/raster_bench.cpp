// Drawing costs on an 800 x 600 in-memory frame. The landscape case draws a
// whole frame of small cells (63 x 63 faces, 7,938 triangles); perf_bench
// sets whole frames against the cost of clearing and copying one.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "raster/frame.h"
#include "raster/numeric.h"
#include "raster/polychar.h"
#include "raster/polyfill.h"
#include "raster/primitives.h"

namespace {

// A 64 x 64 grid of corners, cells about 10 x 3 pixels, with rippled heights.
struct Landscape {
    static constexpr int Size = 64;
    int x[Size][Size];
    int y[Size][Size];
    Landscape() {
        for (int row = 0; row < Size; ++row) {
            for (int column = 0; column < Size; ++column) {
                const double ripple = 6.0 * Sine(column * 0.4) * Cosine(row * 0.3);
                x[row][column] = 80 + column * 10 + row / 4;
                y[row][column] = 300 + row * 3 + Round(ripple);
            }
        }
    }
};

void BM_LandscapeFrame(benchmark::State& state) {
    const auto frame = NewOwnedFrame();
    const Landscape land;
    for (auto _ : state) {
        for (int row = 0; row + 1 < Landscape::Size; ++row) {
            for (int column = 0; column + 1 < Landscape::Size; ++column) {
                FillQuad(land.x[row][column], land.y[row][column], land.x[row][column + 1],
                         land.y[row][column + 1], land.x[row + 1][column], land.y[row + 1][column],
                         land.x[row + 1][column + 1], land.y[row + 1][column + 1], frame->view,
                         0x204080u + static_cast<Colour32>(row * 2 + column));
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 63 * 63 * 2);  // triangles
}
BENCHMARK(BM_LandscapeFrame);

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
