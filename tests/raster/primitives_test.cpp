#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "raster/primitives.h"
#include "reference.h"

namespace {

constexpr Colour32 White = 0xFFFFFF;

PointSet Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    GuardedFrame frame(64, 48, 70);
    DrawLine(x1, y1, x2, y2, frame.View(), White);
    EXPECT_TRUE(frame.GuardIntact());
    return frame.Drawn();
}

TEST(DrawLine, SinglePointAndTieRules) {
    EXPECT_EQ(Line(10, 10, 10, 10), (PointSet{{10, 10}}));
    const PointSet shallow{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    EXPECT_EQ(Line(0, 0, 4, 2), shallow);  // the half at column 1 stays on the start row
    EXPECT_EQ(Line(4, 2, 0, 0), shallow);
    EXPECT_EQ(Line(0, 0, 3, 3), (PointSet{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    const PointSet steep{{0, 0}, {1, 1}, {1, 2}, {2, 3}};
    EXPECT_EQ(Line(0, 0, 2, 3), steep);
    EXPECT_EQ(Line(2, 3, 0, 0), steep);
}

TEST(DrawLine, MatchesTheStepByStepWalkInEveryDirection) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47);
    for (int i = 0; i < 3000; ++i) {
        const int x1 = x(random), y1 = y(random), x2 = x(random), y2 = y(random);
        const PointSet expected = ReferenceLine(x1, y1, x2, y2);
        ASSERT_EQ(Line(x1, y1, x2, y2), expected) << x1 << "," << y1 << " " << x2 << "," << y2;
        ASSERT_EQ(Line(x2, y2, x1, y1), expected) << "reverse";
        ASSERT_TRUE(expected.count({x1, y1}) && expected.count({x2, y2}));
    }
}

TEST(Spans, CoverBothEndsInEitherOrder) {
    GuardedFrame frame(16, 16, 16);
    HorizontalSpan(5, 7, 2, frame.View(), White);
    EXPECT_EQ(frame.Drawn(), (PointSet{{2, 7}, {3, 7}, {4, 7}, {5, 7}}));
    GuardedFrame column(16, 16, 20);
    VerticalSpan(5, 9, 9, column.View(), White);
    VerticalSpan(1, 4, 2, column.View(), White);
    EXPECT_EQ(column.Drawn(), (PointSet{{5, 9}, {1, 2}, {1, 3}, {1, 4}}));
    EXPECT_TRUE(column.GuardIntact());
}

TEST(DrawRectangle, SameOutlineForUnsortedCorners) {
    GuardedFrame sorted(32, 32, 32), unsorted(32, 32, 40);
    DrawRectangle(3, 4, 20, 25, sorted.View(), White);
    DrawRectangle(20, 25, 3, 4, unsorted.View(), White);
    const PointSet outline = sorted.Drawn();
    EXPECT_EQ(outline.size(), 2u * 18 + 2u * 20);
    EXPECT_EQ(unsorted.Drawn(), outline);
    EXPECT_TRUE(outline.count({3, 4}) && outline.count({20, 25}) && outline.count({3, 25}));
    EXPECT_FALSE(outline.count({10, 10}));
}

TEST(ShadedDisc, RadiusZeroOrNegativeDrawsNothing) {
    GuardedFrame frame(16, 16, 16);
    ShadedDisc(8, 8, 0, frame.View(), White);
    ShadedDisc(8, 8, -3, frame.View(), White);
    EXPECT_TRUE(frame.Drawn().empty());
}

TEST(ShadedDisc, RadiusOneIsAShadedCross) {
    GuardedFrame frame(16, 16, 16);
    for (std::int32_t y = 0; y < 16; ++y) {
        HorizontalSpan(0, y, 15, frame.View(), 0x123456);
    }
    ShadedDisc(8, 8, 1, frame.View(), 0x00FF0000);
    EXPECT_EQ(frame.At(8, 8), 0x00FF0000u);
    for (auto [x, y] : {Point{7, 8}, Point{9, 8}, Point{8, 7}, Point{8, 9}}) {
        EXPECT_EQ(frame.At(x, y), 0x004B0000u) << x << "," << y;
    }
    for (auto [x, y] : {Point{7, 7}, Point{9, 7}, Point{7, 9}, Point{9, 9}}) {
        EXPECT_EQ(frame.At(x, y), 0u) << x << "," << y;  // written black, not left alone
    }
    EXPECT_EQ(frame.At(10, 8), 0x123456u);
    EXPECT_EQ(frame.At(8, 6), 0x123456u);
}

// The disc as defined, pixel by pixel with the C library's rounding.
std::map<Point, Colour32> ReferenceDisc(int cx, int cy, int r, Colour32 colour) {
    std::map<Point, Colour32> pixels;
    const double r2 = double(r) * r;
    const double d = std::sqrt(2 * r2);
    for (int dy = 0; dy <= r; ++dy) {
        const long w = std::lrint(std::sqrt(r2 - (dy - 0.5) * (dy - 0.5)));
        for (int dx = 0; dx <= w; ++dx) {
            const double f = 1 - std::sqrt(double(dx * dx + dy * dy)) / d;
            const Colour32 c =
                PackColour(std::lrint((colour >> 16) * f), std::lrint(((colour >> 8) & 0xFF) * f),
                           std::lrint((colour & 0xFF) * f));
            for (auto p : {Point{cx + dx, cy + dy}, Point{cx + dx, cy - dy}, Point{cx - dx, cy + dy},
                           Point{cx - dx, cy - dy}}) {
                pixels[p] = c;
            }
        }
    }
    return pixels;
}

TEST(ShadedDisc, MatchesThePixelByPixelDefinition) {
    for (int r : {2, 5, 16, 37, 60}) {
        for (Colour32 colour : {0xFFFFFFu, 0x80FF20u, 0x0000FFu}) {
            GuardedFrame frame(130, 130, 136);
            for (std::int32_t y = 0; y < 130; ++y) {
                HorizontalSpan(0, y, 129, frame.View(), 0x010101);
            }
            ShadedDisc(64, 64, r, frame.View(), colour);
            const auto expected = ReferenceDisc(64, 64, r, colour);
            int covered = 0;
            for (std::int64_t y = 0; y < 130; ++y) {
                for (std::int64_t x = 0; x < 130; ++x) {
                    const auto it = expected.find({x, y});
                    const Colour32 want = it == expected.end() ? 0x010101u : it->second;
                    ASSERT_EQ(frame.At(x, y), want) << "r=" << r << " at " << x << "," << y;
                    covered += it != expected.end();
                }
            }
            EXPECT_GT(covered, 3 * r * r);  // about pi r^2
            EXPECT_EQ(frame.At(64, 64), colour);
            EXPECT_EQ(frame.At(64 + r + 1, 64), 0x010101u);
        }
    }
}

}  // namespace
