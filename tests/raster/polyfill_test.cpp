#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <utility>

#include "raster/polyfill.h"
#include "base/processor.h"
#include "raster/triangle_walks.h"
#include "reference.h"

namespace {

constexpr Colour32 Ink = 0x00C08040;

struct Corner {
    std::int32_t x, y;
};
std::ostream& operator<<(std::ostream& os, Corner c) {
    return os << c.x << "," << c.y;
}

PointSet Triangle(Corner a, Corner b, Corner c) {
    GuardedFrame frame(64, 48, 69);
    FillTriangle(a.x, a.y, b.x, b.y, c.x, c.y, frame.View(), Ink);
    EXPECT_TRUE(frame.GuardIntact());
    return frame.Drawn();
}

using RowRuns = std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>>;

// Row y -> (first x, last x); fails when a row is not one run. The points
// come ordered by x, so each row's come left to right.
RowRuns Rows(const PointSet& points) {
    RowRuns rows;
    for (const auto& [x, y] : points) {
        const auto [run, fresh] = rows.try_emplace(y, x, x);
        if (!fresh) {
            EXPECT_EQ(x, std::exchange(run->second.second, x) + 1) << "gap in row " << y;
        }
    }
    return rows;
}

// Flat edges run to their corner's column on the corner's row, also when a
// triangle is only one row.
TEST(FillTriangle, FlatEdgesAndSingleRows) {
    EXPECT_EQ(Rows(Triangle({5, 10}, {1, 10}, {8, 10})), (RowRuns{{10, {1, 8}}}));
    EXPECT_EQ(Rows(Triangle({0, 0}, {10, 2}, {0, 4})),
              (RowRuns{{0, {0, 2}}, {1, {0, 7}}, {2, {0, 10}}, {3, {0, 7}}, {4, {0, 2}}}));
}

// Twice the signed area of (a, b, c): > 0 when c lies left of a->b.
double Cross(Corner a, Corner b, Corner c) {
    return double(b.x - a.x) * (c.y - a.y) - double(b.y - a.y) * (c.x - a.x);
}

// Random triangles, many with flat tops or bottoms: the same pixels for all
// six corner orders, every row one run, every pixel a whole pixel inside the
// edges filled and none a whole pixel outside them.
TEST(FillTriangle, DependsOnlyOnItsCornersAndCoversTheInterior) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47), tie(0, 3);
    for (int i = 0; i < 800; ++i) {
        std::array<Corner, 3> c{Corner{x(random), y(random)}, Corner{x(random), y(random)},
                                Corner{x(random), y(random)}};
        if (tie(random) == 0) c[1].y = c[0].y;
        if (tie(random) == 0) c[2].y = c[1].y;
        SCOPED_TRACE(::testing::PrintToString(c));
        const PointSet drawn = Triangle(c[0], c[1], c[2]);
        Rows(drawn);
        std::array<int, 3> order{0, 1, 2};
        while (std::next_permutation(order.begin(), order.end())) {
            ASSERT_EQ(Triangle(c[order[0]], c[order[1]], c[order[2]]), drawn);
        }
        const double area2 = Cross(c[0], c[1], c[2]);
        if (area2 == 0 || ::testing::Test::HasFailure()) continue;
        for (std::int64_t py = 0; py < 48; ++py) {
            for (std::int64_t px = 0; px < 64; ++px) {
                double nearest = 1e9;  // distance from the nearest edge line, inwards
                for (int e = 0; e < 3; ++e) {
                    const Corner a = c[e], b = c[(e + 1) % 3];
                    const double side =
                        Cross(a, b, {std::int32_t(px), std::int32_t(py)}) / std::hypot(b.x - a.x, b.y - a.y);
                    nearest = std::min(nearest, area2 > 0 ? side : -side);
                }
                if (std::abs(nearest) >= 1.0) {
                    ASSERT_EQ(drawn.count({px, py}), nearest > 0 ? 1u : 0u) << px << "," << py;
                }
            }
        }
    }
}

// FillTriangle and FillQuad take a fast walk for corners inside the frame:
// it must give the plain walk's pixels for every triangle with corners on a
// 6 x 6 grid (many of them on one line or one row), for random ones, whose
// flat edges may run past the middle corner on its row, and for random
// faces, each the plain walk's two triangles. Both fast walks are checked:
// eight rows at a time (only where the processor has AVX-512, reported
// skipped elsewhere; the frame's memory ends with its last row, which the
// masked-off lanes run past) and row by row.
class FastWalk : public ::testing::TestWithParam<bool> {};

TEST_P(FastWalk, GivesThePlainWalksPixels) {
    using raster_detail::WalkTrianglePlain;
    if (GetParam() && !ProcessorHasAvx512()) {
        GTEST_SKIP() << "no AVX-512: triangles are not walked eight rows at a time";
    }
    GuardedFrame fast(64, 48, 64, 0), plain(64, 48, 64, 0);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47);
    const auto compare = [&](std::array<Corner, 4> p, bool face) {
        const auto draw = [&](Colour32 colour) {
            if (face) {
                FillQuad(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y, fast.View(), colour);
                WalkTrianglePlain({p[0].x, p[0].y}, {p[1].x, p[1].y}, {p[2].x, p[2].y}, plain.View(), colour);
                WalkTrianglePlain({p[3].x, p[3].y}, {p[2].x, p[2].y}, {p[1].x, p[1].y}, plain.View(), colour);
            } else {
                FillTriangle(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, fast.View(), colour);
                WalkTrianglePlain({p[0].x, p[0].y}, {p[1].x, p[1].y}, {p[2].x, p[2].y}, plain.View(), colour);
            }
        };
        draw(Ink);
        EXPECT_EQ(fast.Pixels(0, 0, 64, 48), plain.Pixels(0, 0, 64, 48))
            << ::testing::PrintToString(p) << (face ? " face" : " triangle");
        draw(0);  // wiped again
    };
    const bool before = raster_detail::UseEightRowWalk(GetParam());
    for (int i = 0; i < 46656 + 20000 && !HasFailure(); ++i) {
        std::array<Corner, 4> p;
        for (int k = 0, code = i; k < 3; ++k, code /= 36) p[k] = {20 + code % 6, 20 + code / 6 % 6};
        if (i >= 46656)
            p = {Corner{x(random), y(random)},
                 {x(random), y(random)},
                 {x(random), y(random)},
                 {x(random), y(random)}};
        compare(p, false);
        if (i >= 46656) compare(p, true);
    }
    raster_detail::UseEightRowWalk(before);
}

INSTANTIATE_TEST_SUITE_P(Walks, FastWalk, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "EightRowsAtATime" : "RowByRow");
});

// A frame over 1024 pixels on a side takes the plain walk also for the
// triangles inside it, whose fixed-point positions would not hold there:
// tall triangles and faces, drawn over each other in different colours.
TEST(FillTriangle, LargeFramesTakeThePlainWalk) {
    GuardedFrame filled(1100, 1050, 1100, 0), plain(1100, 1050, 1100, 0);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 1099), top(0, 10), any(0, 1049), bottom(1040, 1049);
    for (Colour32 colour = 1; colour <= 20; ++colour) {
        const Corner a{x(random), top(random)}, b{x(random), any(random)}, c{x(random), bottom(random)},
            d{x(random), any(random)};
        FillQuad(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y, filled.View(), colour);
        raster_detail::WalkTrianglePlain({a.x, a.y}, {b.x, b.y}, {c.x, c.y}, plain.View(), colour);
        raster_detail::WalkTrianglePlain({d.x, d.y}, {c.x, c.y}, {b.x, b.y}, plain.View(), colour);
        FillTriangle(c.x, c.y, d.x, d.y, a.x, a.y, filled.View(), colour + 20);
        raster_detail::WalkTrianglePlain({c.x, c.y}, {d.x, d.y}, {a.x, a.y}, plain.View(), colour + 20);
    }
    EXPECT_EQ(filled.Pixels(0, 0, 1100, 1050), plain.Pixels(0, 0, 1100, 1050));
}

// Faces in 2 x 2 grid order: jittered cells from landscape-sized to large,
// small cells whose corners may cross over (folded or bow-tie faces), faces
// with corners anywhere, and degenerate ones (corners shared, on one line or
// one row). A face is exactly its two triangles. Both triangles cover the
// pixels their shared edge p2-p3 touches, so on each row of that edge their
// runs meet: a convex face has no gap along its diagonal.
TEST(FillQuad, IsItsTwoTrianglesAndLeavesNoGapOnTheSharedEdge) {
    std::mt19937 random(2024);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 3000; ++i) {
        std::array<Corner, 4> p;
        if (i % 4 < 2) {  // a cell, p1 p2 above p3 p4; landscape-sized ones may fold
            const bool small = i % 4 == 1;
            const int x0 = pick(5, 30), y0 = pick(5, 18), w = small ? pick(8, 20) : pick(3, 30);
            const int h = small ? pick(0, 6) : pick(3, 17), jitter = small ? pick(0, 5) : 2;
            for (int k = 0; k < 4; ++k) {
                p[k] = {x0 + (k & 1) * w + pick(-jitter, jitter), y0 + (k >> 1) * h + pick(-jitter, jitter)};
            }
        } else if (i % 4 == 2) {
            for (Corner& c : p) c = {pick(0, 63), pick(0, 47)};
        } else {  // corners taken from three points, or along a line (often a row)
            const Corner o{pick(0, 63), pick(0, 47)}, q{pick(0, 63), pick(0, 47)};
            const int dx = pick(-6, 6), dy = pick(0, 1) * pick(-5, 5);
            for (Corner& c : p) {
                const int t = pick(0, 4);
                c = i % 8 == 3 ? (t < 2   ? o
                                  : t < 4 ? q
                                          : Corner{o.x, q.y})
                               : Corner{std::clamp(o.x + dx * t, 0, 63), std::clamp(o.y + dy * t, 0, 47)};
            }
        }
        SCOPED_TRACE(::testing::PrintToString(p));
        const PointSet first = Triangle(p[0], p[1], p[2]), second = Triangle(p[3], p[2], p[1]);
        const RowRuns firstRows = Rows(first), secondRows = Rows(second);
        for (std::int64_t y = std::min(p[1].y, p[2].y); y <= std::max(p[1].y, p[2].y); ++y) {
            const auto a = firstRows.at(y), b = secondRows.at(y);
            ASSERT_TRUE(a.first <= b.second && b.first <= a.second) << "row " << y;
        }
        GuardedFrame frame(64, 48, 64);
        FillQuad(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y, frame.View(), Ink);
        EXPECT_TRUE(frame.GuardIntact());
        PointSet halves = first;
        halves.insert(second.begin(), second.end());
        ASSERT_EQ(frame.Drawn(), halves);
        ASSERT_FALSE(::testing::Test::HasFailure());
    }
}

}  // namespace
