// Figures partly or wholly outside the frame: nothing may be written outside
// it, and inside it exactly the pixels of the unclipped figure must appear.
// The unclipped figure is drawn, moved, into a frame large enough to hold it
// and cropped back.
#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <random>

#include "raster/clip.h"
#include "raster/polychar.h"
#include "raster/polyfill.h"
#include "raster/primitives.h"
#include "reference.h"

namespace {

constexpr Colour32 Ink = 0x0040A0FF;
constexpr std::int32_t Width = 64, Height = 48;
constexpr std::int32_t Margin = 200;  // the big frame extends this far on every side
constexpr Window FrameWindow{Width, Height, 0, 0};

// True when any of the points (x, y pairs) lies outside the small frame.
bool AnyOutside(std::initializer_list<int> coordinates) {
    const int* c = coordinates.begin();
    for (std::size_t i = 0; i + 1 < coordinates.size(); i += 2) {
        if (c[i] < 0 || c[i] >= Width || c[i + 1] < 0 || c[i + 1] >= Height) return true;
    }
    return false;
}

class ClipTest : public ::testing::Test {
protected:
    void SetUp() override { ResetClippedDrawCount(); }

    GuardedFrame small{Width, Height, Width + 3};
    GuardedFrame big{Width + 2 * Margin, Height + 2 * Margin, Width + 2 * Margin};

    // Draws `figure` clipped into the small frame and, moved by the margin,
    // into the big one; the big one must not clip and the small one must
    // exactly when `mustClip`.
    template <typename Figure>
    void ExpectSameInside(Figure figure, bool mustClip, const char* what) {
        small.Clear();
        big.Clear();
        const std::uint64_t before = ClippedDrawCount();
        figure(big.View(), Margin);
        ASSERT_EQ(ClippedDrawCount(), before) << what << ": the reference frame is too small";
        figure(small.View(), 0);
        EXPECT_EQ(ClippedDrawCount(), before + (mustClip ? 1 : 0)) << what;
        ASSERT_TRUE(small.GuardIntact()) << what;
        ASSERT_EQ(small.Drawn(), big.DrawnIn(Margin, Margin, Width, Height)) << what;
    }
};

TEST_F(ClipTest, LinesKeepTheirInFramePixels) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(-190, Width + 190), y(-190, Height + 190);
    for (int i = 0; i < 1000; ++i) {
        const int x1 = x(random), y1 = y(random), x2 = x(random), y2 = y(random);
        const bool outside = AnyOutside({x1, y1, x2, y2});
        ExpectSameInside([&](const FrameView& f, int m) {
            DrawLine(x1 + m, y1 + m, x2 + m, y2 + m, f, Ink);
        }, outside, "line");
        // And against the step-by-step walk, independently of the big frame.
        GuardedFrame frame(Width, Height, Width);
        DrawLine(x1, y1, x2, y2, frame.View(), Ink);
        ASSERT_EQ(frame.Drawn(), ReferenceLine(x1, y1, x2, y2, FrameWindow))
            << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

TEST_F(ClipTest, TrianglesKeepTheirInFrameRowsAndSpans) {
    std::mt19937 random(12);
    std::uniform_int_distribution<int> x(-190, Width + 190), y(-190, Height + 190);
    for (int i = 0; i < 1000; ++i) {
        const int x1 = x(random), y1 = y(random), x2 = x(random), y2 = y(random);
        const int x3 = x(random), y3 = y(random);
        ExpectSameInside([&](const FrameView& f, int m) {
            FillTriangle(x1 + m, y1 + m, x2 + m, y2 + m, x3 + m, y3 + m, f, Ink);
        }, AnyOutside({x1, y1, x2, y2, x3, y3}), "triangle");
        GuardedFrame frame(Width, Height, Width);
        FillTriangle(x1, y1, x2, y2, x3, y3, frame.View(), Ink);
        ASSERT_EQ(frame.Drawn(),
                  ReferenceTriangle(x1, y1, x2, y2, x3, y3, FrameWindow))
            << x1 << "," << y1 << " " << x2 << "," << y2 << " " << x3 << "," << y3;
    }
}

TEST_F(ClipTest, QuadsRectanglesAndSpans) {
    std::mt19937 random(13);
    std::uniform_int_distribution<int> x(-190, Width + 190), y(-190, Height + 190);
    for (int i = 0; i < 400; ++i) {
        int c[8];
        for (int k = 0; k < 8; k += 2) {
            c[k] = x(random);
            c[k + 1] = y(random);
        }
        ExpectSameInside([&](const FrameView& f, int m) {
            FillQuad(c[0] + m, c[1] + m, c[2] + m, c[3] + m, c[4] + m, c[5] + m, c[6] + m,
                     c[7] + m, f, Ink);
        }, AnyOutside({c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]}), "quad");
        ExpectSameInside([&](const FrameView& f, int m) {
            DrawRectangle(c[0] + m, c[1] + m, c[2] + m, c[3] + m, f, Ink);
        }, AnyOutside({c[0], c[1], c[2], c[3]}), "rectangle");
        ExpectSameInside([&](const FrameView& f, int m) {
            HorizontalSpan(c[0] + m, c[1] + m, c[2] + m, f, Ink);
        }, AnyOutside({c[0], c[1], c[2], c[1]}), "horizontal span");
        ExpectSameInside([&](const FrameView& f, int m) {
            VerticalSpan(c[4] + m, c[5] + m, c[7] + m, f, Ink);
        }, AnyOutside({c[4], c[5], c[4], c[7]}), "vertical span");
    }
}

TEST_F(ClipTest, DiscsKeepTheirInFramePixels) {
    std::mt19937 random(14);
    std::uniform_int_distribution<int> x(-100, Width + 100), y(-100, Height + 100), r(1, 90);
    for (int i = 0; i < 300; ++i) {
        const int cx = x(random), cy = y(random), radius = r(random);
        const bool outside =
            cx - radius < 0 || cy - radius < 0 || cx + radius >= Width || cy + radius >= Height;
        small.Clear();
        big.Clear();
        ShadedDisc(cx + Margin, cy + Margin, radius, big.View(), 0xFFFFFF);
        ASSERT_EQ(ClippedDrawCount(), 0u);
        ShadedDisc(cx, cy, radius, small.View(), 0xFFFFFF);
        EXPECT_EQ(ClippedDrawCount(), outside ? 1u : 0u);
        ResetClippedDrawCount();
        ASSERT_TRUE(small.GuardIntact());
        for (std::int64_t py = 0; py < Height; ++py) {
            for (std::int64_t px = 0; px < Width; ++px) {
                ASSERT_EQ(small.At(px, py), big.At(px + Margin, py + Margin))
                    << "disc " << cx << "," << cy << " r=" << radius << " at " << px << "," << py;
            }
        }
    }
}

TEST_F(ClipTest, GlyphsAndTextKeepTheirInFramePixels) {
    std::mt19937 random(15);
    std::uniform_int_distribution<int> x(-60, Width + 20), y(-40, Height + 40), size(4, 60);
    const char characters[] = "AGMTWegjy+=.:/0123456789\xC5\xF6";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof characters - 2);
    for (int i = 0; i < 800; ++i) {
        const int gx = x(random), gy = y(random);
        const double sx = size(random) * 0.75, sy = size(random) * 1.25;
        const unsigned char ch = static_cast<unsigned char>(characters[pick(random)]);
        small.Clear();
        big.Clear();
        DrawGlyph(gx + Margin, gy + Margin, ch, sx, sy, Ink, big.View());
        ASSERT_EQ(ClippedDrawCount(), 0u);
        DrawGlyph(gx, gy, ch, sx, sy, Ink, small.View());
        ASSERT_TRUE(small.GuardIntact());
        ASSERT_EQ(small.Drawn(), big.DrawnIn(Margin, Margin, Width, Height))
            << ch << " at " << gx << "," << gy;
        ResetClippedDrawCount();
    }
    // A text wider than the frame: only the glyphs' in-frame parts appear.
    small.Clear();
    DrawCentredText(20, "WIDE TEXT", Ink, 12, 20, small.View());
    EXPECT_EQ(ClippedDrawCount(), 1u);
    EXPECT_TRUE(small.GuardIntact());
    EXPECT_FALSE(small.Drawn().empty());
}

TEST_F(ClipTest, ExtremeCoordinatesWriteNothingOutside) {
    const int far[] = {INT_MIN, INT_MIN + 1, -1000000000, -70000, -1, 0, 30, 63, 64,
                       70000, 1000000000, INT_MAX - 1, INT_MAX};
    GuardedFrame frame(Width, Height, Width + 4);
    const FrameView& f = frame.View();
    for (int a : far) {
        for (int b : far) {
            DrawLine(a, b, b, a, f, Ink);
            DrawLine(a, 10, b, 40, f, Ink);
            DrawLine(5, a, 50, b, f, Ink);
            HorizontalSpan(a, 10, b, f, Ink);
            VerticalSpan(20, a, b, f, Ink);
            DrawRectangle(a, b, -(a / 2), 24, f, Ink);
            FillTriangle(a, b, b, a, 30, 20, f, Ink);
            FillTriangle(a, 0, b, 47, 30, b, f, Ink);
            FillQuad(a, a, b, a, a, b, b, b, f, Ink);
            PutPixel(a, b, f, Ink);
            DrawGlyph(a, b, 'W', 1e9, 1e9, Ink, f);
        }
        ShadedDisc(a, 24, 100, f, Ink);
        ShadedDisc(32, a, 100, f, Ink);
        ShadedDisc(32, 24, a > 0 ? a / 4096 : 5, f, Ink);
        ASSERT_TRUE(frame.GuardIntact()) << a;
    }
    EXPECT_GT(ClippedDrawCount(), 0u);
}

// Lines far longer than the frame still keep exactly their own pixels: the
// pixel in column xs + k lies |dy| k / dx rows from the start row, rounded to
// the nearest row with exact halves toward the start.
TEST_F(ClipTest, VeryLongLinesKeepTheirExactPixels) {
    std::mt19937_64 random(16);
    std::uniform_int_distribution<std::int64_t> far(-2000000000, 2000000000);
    std::uniform_int_distribution<std::int64_t> near(-20, Height + 20);
    for (int i = 0; i < 400; ++i) {
        // x-major lines crossing the frame's rows somewhere near it.
        std::int64_t x1 = far(random), x2 = far(random);
        std::int64_t y1 = near(random) - 3 * (i % 7), y2 = near(random) + 5 * (i % 5);
        if (i % 2) std::swap(y1, y2);
        if (std::abs(y2 - y1) >= std::abs(x2 - x1) || x1 == x2 || y1 == y2) continue;
        GuardedFrame frame(Width, Height, Width);
        DrawLine(static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1),
                 static_cast<std::int32_t>(x2), static_cast<std::int32_t>(y2), frame.View(), Ink);
        if (x2 < x1) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const __int128 dx = x2 - x1, ady = std::abs(y2 - y1);
        PointSet expected;
        for (std::int64_t x = 0; x < Width; ++x) {
            const __int128 k = x - x1;
            if (k < 0 || k > dx) continue;
            const __int128 along = ady * k;
            std::int64_t m = static_cast<std::int64_t>(along / dx);
            if (2 * (along % dx) > dx) ++m;
            const std::int64_t y = y2 > y1 ? y1 + m : y1 - m;
            if (y >= 0 && y < Height) expected.insert({x, y});
        }
        ASSERT_EQ(frame.Drawn(), expected) << x1 << "," << y1 << " " << x2 << "," << y2;
        ASSERT_TRUE(frame.GuardIntact());
    }
}

TEST(MulAddDivide, MatchesWideArithmetic) {
    std::mt19937_64 random(17);
    for (int i = 0; i < 100000; ++i) {
        const int bits = 1 + i % 40;
        const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
        const std::uint64_t a = random() & mask, b = random() & ((std::uint64_t{1} << 40) - 1);
        const std::uint64_t c = random() & mask, d = (random() & mask) | 1;
        const unsigned __int128 total = static_cast<unsigned __int128>(a) * b + c;
        if (total / d >= (static_cast<unsigned __int128>(1) << 64)) continue;
        const auto q = raster_detail::MulAddDivide(a, b, c, d);
        ASSERT_EQ(q.quotient, static_cast<std::uint64_t>(total / d)) << a << " " << b << " " << c << " " << d;
        ASSERT_EQ(q.remainder, static_cast<std::uint64_t>(total % d));
    }
}

TEST_F(ClipTest, InFrameFiguresAreNotCounted) {
    GuardedFrame frame(Width, Height, Width);
    const FrameView& f = frame.View();
    DrawLine(0, 0, Width - 1, Height - 1, f, Ink);
    DrawRectangle(0, 0, Width - 1, Height - 1, f, Ink);
    FillTriangle(0, 0, Width - 1, 0, 0, Height - 1, f, Ink);
    FillQuad(0, 0, 10, 0, 0, 10, 10, 10, f, Ink);
    ShadedDisc(20, 20, 20, f, Ink);
    PutPixel(Width - 1, Height - 1, f, Ink);
    DrawGlyph(0, 10, 'M', 10, 16, Ink, f);
    EXPECT_EQ(ClippedDrawCount(), 0u);
    PutPixel(Width, 0, f, Ink);
    DrawLine(-1, 0, 5, 5, f, Ink);
    ShadedDisc(20, 20, 21, f, Ink);
    FillTriangle(0, 0, 5, Height, 0, 5, f, Ink);
    DrawRectangle(0, 0, Width, 3, f, Ink);  // one call, four spans: counted once
    EXPECT_EQ(ClippedDrawCount(), 5u);
    EXPECT_TRUE(frame.GuardIntact());
}

}  // namespace
