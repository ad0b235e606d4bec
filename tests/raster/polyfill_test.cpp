#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>

#include "raster/polyfill.h"
#include "raster/primitives.h"
#include "reference.h"

namespace {

constexpr Colour32 Ink = 0x00C08040;

struct Corner {
    std::int32_t x, y;
};

PointSet Triangle(Corner a, Corner b, Corner c, std::int32_t width = 64,
                  std::int32_t height = 48) {
    GuardedFrame frame(width, height, width + 5);
    FillTriangle(a.x, a.y, b.x, b.y, c.x, c.y, frame.View(), Ink);
    EXPECT_TRUE(frame.GuardIntact());
    return frame.Drawn();
}

// Row y -> (first x, last x), checking that each row is one run.
std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>> Rows(const PointSet& points) {
    std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>> rows;
    std::map<std::int64_t, std::int64_t> counts;
    for (const auto& [x, y] : points) {
        auto [it, fresh] = rows.try_emplace(y, x, x);
        it->second.first = std::min(it->second.first, x);
        it->second.second = std::max(it->second.second, x);
        ++counts[y];
    }
    for (const auto& [y, run] : rows) {
        EXPECT_EQ(counts[y], run.second - run.first + 1) << "gap in row " << y;
    }
    return rows;
}

using RowRuns = std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>>;

TEST(FillTriangle, DefinedExamples) {
    EXPECT_EQ(Rows(Triangle({5, 10}, {1, 10}, {8, 10})), (RowRuns{{10, {1, 8}}}));
    EXPECT_EQ(Rows(Triangle({0, 0}, {4, 0}, {0, 4})),
              (RowRuns{{0, {0, 4}}, {1, {0, 3}}, {2, {0, 2}}, {3, {0, 1}}, {4, {0, 0}}}));
    EXPECT_EQ(Rows(Triangle({0, 0}, {10, 2}, {0, 4})),
              (RowRuns{{0, {0, 2}}, {1, {0, 7}}, {2, {0, 10}}, {3, {0, 7}}, {4, {0, 2}}}));
    EXPECT_EQ(Rows(Triangle({2, 0}, {0, 3}, {4, 3})),
              (RowRuns{{0, {2, 2}}, {1, {1, 3}}, {2, {1, 3}}, {3, {0, 4}}}));
}

TEST(FillTriangle, MatchesTheStepByStepWalk) {
    std::mt19937 random(77);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47), small(-6, 6);
    for (int i = 0; i < 3000; ++i) {
        Corner a{x(random), y(random)}, b{x(random), y(random)}, c{x(random), y(random)};
        if (i % 2) {  // many small, landscape-sized cells
            b = {std::clamp(a.x + small(random), 0, 63), std::clamp(a.y + small(random) / 2, 0, 47)};
            c = {std::clamp(a.x + small(random), 0, 63), std::clamp(a.y + small(random) / 2, 0, 47)};
        }
        ASSERT_EQ(Triangle(a, b, c), ReferenceTriangle(a.x, a.y, b.x, b.y, c.x, c.y))
            << a.x << "," << a.y << " " << b.x << "," << b.y << " " << c.x << "," << c.y;
    }
}

TEST(FillTriangle, DoesNotDependOnTheOrderOfCorners) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47), tie(0, 3);
    for (int i = 0; i < 1500; ++i) {
        std::array<Corner, 3> corners{Corner{x(random), y(random)}, Corner{x(random), y(random)},
                                      Corner{x(random), y(random)}};
        if (tie(random) == 0) corners[1].y = corners[0].y;  // flat tops and bottoms
        if (tie(random) == 0) corners[2].y = corners[1].y;
        const PointSet first = Triangle(corners[0], corners[1], corners[2]);
        std::array<int, 3> order{0, 1, 2};
        while (std::next_permutation(order.begin(), order.end())) {
            ASSERT_EQ(Triangle(corners[order[0]], corners[order[1]], corners[order[2]]), first)
                << corners[0].x << "," << corners[0].y << " " << corners[1].x << ","
                << corners[1].y << " " << corners[2].x << "," << corners[2].y;
        }
    }
}

// Signed area test: > 0 when c lies left of a->b.
std::int64_t Cross(Corner a, Corner b, double cx, double cy) {
    return static_cast<std::int64_t>((b.x - a.x) * (cy - a.y) - (b.y - a.y) * (cx - a.x));
}

TEST(FillTriangle, CoversTheInteriorAndNothingFarOutside) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47);
    for (int i = 0; i < 1000; ++i) {
        Corner c[3] = {{x(random), y(random)}, {x(random), y(random)}, {x(random), y(random)}};
        const PointSet drawn = Triangle(c[0], c[1], c[2]);
        const double area2 = static_cast<double>(Cross(c[0], c[1], c[2].x, c[2].y));
        if (area2 == 0) continue;
        for (std::int64_t py = 0; py < 48; ++py) {
            for (std::int64_t px = 0; px < 64; ++px) {
                // Distance of the pixel from each edge line, signed inwards.
                double nearest = 1e9;
                for (int e = 0; e < 3; ++e) {
                    const Corner a = c[e], b = c[(e + 1) % 3];
                    const double length = std::hypot(b.x - a.x, b.y - a.y);
                    if (length == 0) continue;
                    const double side =
                        ((b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x)) / length;
                    nearest = std::min(nearest, area2 > 0 ? side : -side);
                }
                if (nearest >= 1.0) {
                    ASSERT_TRUE(drawn.count({px, py})) << "hole at " << px << "," << py;
                }
                if (nearest <= -1.0) {
                    ASSERT_FALSE(drawn.count({px, py})) << "spill at " << px << "," << py;
                }
            }
        }
    }
}

TEST(FillQuad, SquareIsFilledCompletely) {
    GuardedFrame frame(16, 16, 16);
    FillQuad(0, 0, 4, 0, 0, 4, 4, 4, frame.View(), Ink);
    PointSet square;
    for (int y = 0; y <= 4; ++y)
        for (int x = 0; x <= 4; ++x) square.insert({x, y});
    EXPECT_EQ(frame.Drawn(), square);
}

// Convex four-cornered faces in 2 x 2 grid order, from small landscape cells
// to large faces: every row of the face must be one run (no gap along the
// shared diagonal), and it must equal the two triangles drawn one by one.
TEST(FillQuad, ConvexFacesLeaveNoGapAlongTheDiagonal) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> origin(2, 30), size(3, 30), jitter(-2, 2);
    int faces = 0;
    while (faces < 2000) {
        const int x0 = origin(random), y0 = origin(random) / 2 + 2;
        const int w = size(random), h = faces % 3 == 0 ? 3 : size(random) / 2 + 2;
        const Corner p1{x0 + jitter(random), y0 + jitter(random)};
        const Corner p2{x0 + w + jitter(random), y0 + jitter(random)};
        const Corner p3{x0 + jitter(random), y0 + h + jitter(random)};
        const Corner p4{x0 + w + jitter(random), y0 + h + jitter(random)};
        // Convex when the boundary p1 p2 p4 p3 turns the same way at every corner.
        const Corner ring[4] = {p1, p2, p4, p3};
        bool positive = true, negative = true;
        for (int i = 0; i < 4; ++i) {
            const std::int64_t turn =
                Cross(ring[i], ring[(i + 1) % 4], ring[(i + 2) % 4].x, ring[(i + 2) % 4].y);
            positive &= turn > 0;
            negative &= turn < 0;
        }
        if (!positive && !negative) continue;
        ++faces;
        GuardedFrame frame(64, 48, 64);
        FillQuad(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y, frame.View(), Ink);
        const PointSet drawn = frame.Drawn();
        Rows(drawn);
        if (::testing::Test::HasFailure()) {
            FAIL() << p1.x << "," << p1.y << " " << p2.x << "," << p2.y << " " << p3.x << ","
                   << p3.y << " " << p4.x << "," << p4.y;
        }
        PointSet halves = ReferenceTriangle(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
        const PointSet other = ReferenceTriangle(p4.x, p4.y, p3.x, p3.y, p2.x, p2.y);
        halves.insert(other.begin(), other.end());
        ASSERT_EQ(drawn, halves) << p1.x << "," << p1.y << " " << p2.x << "," << p2.y << " "
                                 << p3.x << "," << p3.y << " " << p4.x << "," << p4.y;
    }
}

}  // namespace
