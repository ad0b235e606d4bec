#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <ostream>
#include <random>
#include <span>
#include <string>
#include <utility>

#include "raster/polyfill.h"
#include "base/processor.h"
#include "raster/triangle_walks.h"
#include "reference.h"

using Corner = raster_detail::TriangleCorner;

namespace raster_detail {
// Found by argument lookup when a failure prints corners.
std::ostream& operator<<(std::ostream& os, TriangleCorner c) {
    return os << c.x << "," << c.y;
}
}  // namespace raster_detail

namespace {

constexpr Colour32 Ink = 0x00C08040;

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

// Every pixel of the 64 x 48 frame a whole pixel inside the edges of t is
// drawn, and none a whole pixel outside them.
void ExpectTheInteriorAlone(const std::array<Corner, 3>& t, const PointSet& drawn) {
    const double area2 = Cross(t[0], t[1], t[2]);
    for (std::int32_t py = 0; py < 48 && area2 != 0; ++py) {
        for (std::int32_t px = 0; px < 64; ++px) {
            double nearest = 1e9;  // distance from the nearest edge line, inwards
            for (int e = 0; e < 3; ++e) {
                const Corner a = t[e], b = t[(e + 1) % 3];
                const double side = Cross(a, b, {px, py}) / std::hypot(b.x - a.x, b.y - a.y);
                nearest = std::min(nearest, area2 > 0 ? side : -side);
            }
            if (std::abs(nearest) >= 1.0) {
                ASSERT_EQ(drawn.count({px, py}), nearest > 0 ? 1u : 0u) << px << "," << py;
            }
        }
    }
}

// Faces in 2 x 2 grid order: jittered cells from landscape-sized to large,
// small cells whose corners may cross over (folded or bow-tie faces), faces
// with corners anywhere (often two on one row), and degenerate ones (corners
// shared, on one line or one row). A triangle gives the same pixels for all
// six corner orders, each row one run, every pixel a whole pixel inside its
// edges filled and none a whole pixel outside them. A face's two triangles
// both cover the pixels their shared edge p2-p3 touches, so on each row of
// that edge their runs meet: a convex face has no gap along its diagonal.
// (That FillQuad draws exactly those two triangles the fast-walk test shows
// inside the frame and the clipping test across its edges.)
TEST(FillTriangle, CoversItsInteriorInAnyOrderAndFacesLeaveNoGap) {
    std::mt19937 random(2024);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 3200; ++i) {
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
            if (pick(0, 3) == 0) p[1].y = p[0].y;
            if (pick(0, 3) == 0) p[2].y = p[1].y;
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
        std::array<int, 3> order{0, 1, 2};
        while (std::next_permutation(order.begin(), order.end())) {
            ASSERT_EQ(Triangle(p[order[0]], p[order[1]], p[order[2]]), first);
        }
        ExpectTheInteriorAlone({p[0], p[1], p[2]}, first);
        const RowRuns firstRows = Rows(first), secondRows = Rows(second);
        for (std::int64_t y = std::min(p[1].y, p[2].y); y <= std::max(p[1].y, p[2].y); ++y) {
            const auto a = firstRows.at(y), b = secondRows.at(y);
            ASSERT_TRUE(a.first <= b.second && b.first <= a.second) << "row " << y;
        }
        ASSERT_FALSE(::testing::Test::HasFailure());
    }
}

// A triangle (three corners) or a face (four) drawn with the public call into
// `filled` and as the plain walk's triangles into `plain`.
void DrawBothWays(std::span<const Corner> p, GuardedFrame& filled, GuardedFrame& plain, Colour32 colour) {
    using raster_detail::WalkTrianglePlain;
    if (p.size() == 4) {
        FillQuad(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y, filled.View(), colour);
        WalkTrianglePlain(p[3], p[2], p[1], plain.View(), colour);
    } else {
        FillTriangle(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, filled.View(), colour);
    }
    WalkTrianglePlain(p[0], p[1], p[2], plain.View(), colour);
}

// FillTriangle and FillQuad take a fast walk for corners inside the frame:
// it must give the plain walk's pixels for every triangle with corners on a
// 6 x 6 grid (many of them on one line or one row), for random ones, whose
// flat edges may run past the middle corner on its row, and for random
// faces. Both fast walks are checked: eight rows at a time (only where the
// processor has AVX-512, reported skipped elsewhere; the frame's memory ends
// with its last row, which the masked-off lanes run past) and row by row.
class FastWalk : public ::testing::TestWithParam<bool> {};

TEST_P(FastWalk, GivesThePlainWalksPixels) {
    if (GetParam() && !ProcessorHasAvx512()) {
        GTEST_SKIP() << "no AVX-512: triangles are not walked eight rows at a time";
    }
    GuardedFrame fast(64, 48, 64, 0), plain(64, 48, 64, 0);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47);
    const bool before = raster_detail::UseEightRowWalk(GetParam());
    for (int i = 0; i < 46656 + 20000 && !HasFailure(); ++i) {
        std::array<Corner, 4> p;
        for (int k = 0, code = i; k < 3; ++k, code /= 36) p[k] = {20 + code % 6, 20 + code / 6 % 6};
        if (i >= 46656) {
            for (Corner& c : p) c = {x(random), y(random)};
        }
        for (std::size_t corners = 3; corners <= (i >= 46656 ? 4u : 3u); ++corners) {
            DrawBothWays({p.data(), corners}, fast, plain, Ink);
            EXPECT_EQ(fast.Pixels(0, 0, 64, 48), plain.Pixels(0, 0, 64, 48))
                << ::testing::PrintToString(p) << (corners == 4 ? " face" : " triangle");
            DrawBothWays({p.data(), corners}, fast, plain, 0);  // wiped again
        }
    }
    raster_detail::UseEightRowWalk(before);
}

INSTANTIATE_TEST_SUITE_P(Walks, FastWalk, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "EightRowsAtATime" : "RowByRow");
});

// A frame over 1024 pixels on a side takes the plain walk also for the
// triangles inside it, whose fixed-point positions would not hold there: in
// a frame of nearly 2048 they would put about one large triangle in forty a
// pixel out, and a limit raised that far shows. Random triangles and faces
// across the frame, each compared as soon as it is drawn, as a later one
// could cover the pixel.
TEST(FillTriangle, LargeFramesTakeThePlainWalk) {
    constexpr int Side = 2040;
    GuardedFrame filled(Side, Side, Side, 0), plain(Side, Side, Side, 0);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> any(0, Side - 1);
    for (int i = 0; i < 160; ++i) {
        std::array<Corner, 4> p;
        for (Corner& c : p) c = {any(random), any(random)};
        const std::span<const Corner> shape(p.data(), i % 2 == 0 ? 3 : 4);
        DrawBothWays(shape, filled, plain, Ink);
        for (int y = 0; y < Side; ++y) {
            ASSERT_EQ(filled.Pixels(0, y, Side, 1), plain.Pixels(0, y, Side, 1))
                << "row " << y << " of " << ::testing::PrintToString(p)
                << (shape.size() == 4 ? " face" : " triangle");
        }
        DrawBothWays(shape, filled, plain, 0);  // wiped again
    }
}

}  // namespace
