#include <gtest/gtest.h>

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

TEST(DrawLine, EveryLineAndItsReverseAreTheNearestPixelsToTheExactLine) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> x(0, 63), y(0, 47);
    for (int i = 0; i < 3000; ++i) {
        const int x1 = x(random), y1 = y(random), x2 = x(random), y2 = y(random);
        const PointSet expected = ExactLine(x1, y1, x2, y2, 64, 48);
        ASSERT_EQ(Line(x1, y1, x2, y2), expected) << x1 << "," << y1 << " " << x2 << "," << y2;
        ASSERT_EQ(Line(x2, y2, x1, y1), expected) << "reverse";
    }
}

TEST(SpansAndRectangle, CoverBothEndsInEitherOrder) {
    GuardedFrame frame(32, 32, 40);
    HorizontalSpan(5, 7, 2, frame.View(), White);
    VerticalSpan(5, 9, 9, frame.View(), White);
    VerticalSpan(1, 4, 2, frame.View(), White);
    EXPECT_EQ(frame.Drawn(),
              (PointSet{{2, 7}, {3, 7}, {4, 7}, {5, 7}, {5, 9}, {1, 2}, {1, 3}, {1, 4}}));

    GuardedFrame sorted(32, 32, 32), unsorted(32, 32, 40);
    DrawRectangle(3, 4, 20, 25, sorted.View(), White);
    DrawRectangle(20, 25, 3, 4, unsorted.View(), White);
    const PointSet outline = sorted.Drawn();
    EXPECT_EQ(outline.size(), 2u * 18 + 2u * 20);
    EXPECT_EQ(unsorted.Drawn(), outline);
    EXPECT_TRUE(outline.count({3, 4}) && outline.count({20, 25}) && outline.count({3, 25}));
    EXPECT_FALSE(outline.count({10, 10}));
    EXPECT_TRUE(unsorted.GuardIntact());
}

// A frame filled with a background the disc must overwrite or leave alone.
void FillBackground(GuardedFrame& frame) {
    for (std::int32_t y = 0; y < frame.View().height; ++y)
        HorizontalSpan(0, y, frame.View().width - 1, frame.View(), 0x123456);
}

TEST(ShadedDisc, RadiusOneIsAShadedCrossAndZeroIsNothing) {
    GuardedFrame frame(16, 16, 19);
    FillBackground(frame);
    ShadedDisc(8, 8, 0, frame.View(), White);
    ShadedDisc(8, 8, -3, frame.View(), White);
    EXPECT_EQ(frame.At(8, 8), 0x123456u);
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

// Radius 5: rows 0..5 below and above the centre have half-widths 5, 5, 5, 4,
// 4, 2, and each component falls off as 1 - distance / (5 sqrt 2).
TEST(ShadedDisc, RadiusFiveRowsAndShades) {
    GuardedFrame frame(20, 20, 23);
    FillBackground(frame);
    ShadedDisc(10, 10, 5, frame.View(), 0xFF8020);
    const int halfWidth[] = {5, 5, 5, 4, 4, 2};
    for (int dy = -6; dy <= 6; ++dy) {
        for (int dx = -6; dx <= 6; ++dx) {
            const bool inside = dy >= -5 && dy <= 5 && std::abs(dx) <= halfWidth[std::abs(dy)];
            EXPECT_EQ(frame.At(10 + dx, 10 + dy) != 0x123456u, inside) << dx << "," << dy;
        }
    }
    EXPECT_EQ(frame.At(10, 10), 0xFF8020u);
    EXPECT_EQ(frame.At(11, 9), 0xCC661Au);
    EXPECT_EQ(frame.At(7, 14), 0x4B2509u);   // distance 5, the rim: 29%
    EXPECT_EQ(frame.At(15, 10), 0x4B2509u);
    EXPECT_EQ(frame.At(12, 5), 0x3D1F08u);
    EXPECT_TRUE(frame.GuardIntact());
}

}  // namespace
