// Figures partly or wholly outside the frame: nothing may be written outside
// it, inside it exactly the pixels of the whole figure must appear, and each
// call that clips (and only such a call) is counted once. The whole figure is
// drawn, moved, into a frame large enough to hold it and cropped back.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
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
using Coordinates = std::array<int, 8>;

std::size_t InkIn(const std::vector<Colour32>& pixels) {
    return pixels.size() - std::count(pixels.begin(), pixels.end(), Colour32{0});
}

class ClipTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetClippedDrawCount(); }

    GuardedFrame small{Width, Height, Width + 3};
    GuardedFrame big{Width + 2 * Margin, Height + 2 * Margin, Width + 2 * Margin};

    // Draws figure(frame, at) clipped into the small frame and, every
    // coordinate moved by the margin, into the big one, which must not clip.
    // The small frame must count one clipped call exactly when the whole
    // figure has pixels outside it.
    template <typename Figure>
    void ExpectSameInside(const char* what, Coordinates at, Figure figure) {
        small.Clear();
        big.Clear();
        ResetClippedDrawCount();
        Coordinates moved = at;
        for (int& v : moved) v += Margin;
        figure(big.View(), moved);
        ASSERT_EQ(ClippedDrawCount(), 0u) << what << ": the big frame is too small";
        const auto inside = big.Pixels(Margin, Margin, Width, Height);
        const bool leaves = InkIn(big.Pixels(0, 0, Width + 2 * Margin, Height + 2 * Margin)) > InkIn(inside);
        figure(small.View(), at);
        EXPECT_EQ(ClippedDrawCount(), leaves ? 1u : 0u) << what;
        ASSERT_TRUE(small.GuardIntact()) << what;
        ASSERT_EQ(small.Pixels(0, 0, Width, Height), inside) << what;
    }
};

TEST_F(ClipTest, FiguresKeepTheirInFramePixels) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(-190, Width + 190), y(-190, Height + 190), nearX(-2, Width + 1),
        nearY(-2, Height + 1);  // often just on or over an edge
    for (int i = 0; i < 400; ++i) {
        Coordinates c;
        for (int k = 0; k < 8; ++k) c[k] = i % 3 ? (k % 2 ? y : x)(random) : (k % 2 ? nearY : nearX)(random);
        SCOPED_TRACE(::testing::PrintToString(c));
        ExpectSameInside("line", c, [](auto& f, auto p) { DrawLine(p[0], p[1], p[2], p[3], f, Ink); });
        ExpectSameInside("triangle", c,
                         [](auto& f, auto p) { FillTriangle(p[0], p[1], p[2], p[3], p[4], p[5], f, Ink); });
        ExpectSameInside("quad", c, [](auto& f, auto p) {
            FillQuad(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], f, Ink);
        });
        ExpectSameInside("rectangle", c,
                         [](auto& f, auto p) { DrawRectangle(p[0], p[1], p[2], p[3], f, Ink); });
        ExpectSameInside("row span", c, [](auto& f, auto p) { HorizontalSpan(p[0], p[1], p[2], f, Ink); });
        ExpectSameInside("column span", c, [](auto& f, auto p) { VerticalSpan(p[4], p[5], p[7], f, Ink); });
        ExpectSameInside("pixel", {c[6] / 4, c[7] / 4},
                         [](auto& f, auto p) { PutPixel(p[0], p[1], f, Ink); });
        // Every other disc has its square just inside one edge or one pixel
        // over it, and well inside the others.
        const bool edge = i % 2, side = i / 4 % 2, over = i / 8 % 2;
        const int r = edge ? 1 + (c[6] + 190) % 23 : 1 + (c[6] + 190) % 90;
        int cx = edge ? Width / 2 : c[0] / 2, cy = edge ? Height / 2 : c[1] / 2;
        if (i % 4 == 1) cx = side ? Width - 1 - r + over : r - over;
        if (i % 4 == 3) cy = side ? Height - 1 - r + over : r - over;
        ExpectSameInside("disc", {cx, cy}, [&](auto& f, auto p) { ShadedDisc(p[0], p[1], r, f, 0xFFFFFF); });
        const unsigned char glyph = "AGMTWegjy+=.:/0123456789\xC5\xF6"[i % 26];
        const double glyphWidth = 3 + (c[4] + 190) % 45, glyphHeight = 5 + (c[5] + 190) % 70;
        ExpectSameInside("glyph", {c[2] / 3, c[3] / 3}, [&](auto& f, auto p) {
            DrawGlyph(p[0], p[1], glyph, glyphWidth, glyphHeight, Ink, f);
        });
    }
}

// A text wider than the frame: only the glyphs' in-frame parts appear.
TEST_F(ClipTest, WideTextIsCountedOnce) {
    DrawCentredText(20, "WIDE TEXT", Ink, 12, 20, small.View());
    EXPECT_EQ(ClippedDrawCount(), 1u);
    EXPECT_TRUE(small.GuardIntact());
    EXPECT_FALSE(small.Drawn().empty());
}

TEST_F(ClipTest, ExtremeCoordinatesWriteNothingOutside) {
    const int far[] = {INT_MIN, INT_MIN + 1, -1000000000, -70000,     -1,          0,      30,
                       63,      64,          70000,       1000000000, INT_MAX - 1, INT_MAX};
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

// Lines inside the frame (every 50th a single point) and lines far longer
// than it, in both majors: each, and its reverse, is exactly the nearest
// pixels to the true line where it crosses the frame.
TEST_F(ClipTest, LinesAreTheNearestPixelsToTheExactLine) {
    std::mt19937_64 random(16);
    std::uniform_int_distribution<std::int64_t> far(-2000000000, 2000000000), near(-20, 70), x(0, Width - 1),
        y(0, Height - 1);
    for (int i = 0; i < 3800; ++i) {
        std::array<std::int64_t, 4> c{x(random), y(random), x(random), y(random)};
        if (i % 50 == 0) c = {c[0], c[1], c[0], c[1]};
        if (i >= 3000) {
            c = {far(random), near(random) - 3 * (i % 7), far(random), near(random) + 5 * (i % 5)};
            if (i % 2) std::swap(c[1], c[3]);
            if (i % 4 >= 2) c = {c[1], c[0], c[3], c[2]};  // y-major: swap the axes
        }
        SCOPED_TRACE(::testing::PrintToString(c));
        const PointSet expected = ExactLine(c[0], c[1], c[2], c[3], Width, Height);
        for (const bool reversed : {false, true}) {
            const auto [x1, y1, x2, y2] = reversed ? std::array{c[2], c[3], c[0], c[1]} : c;
            small.Clear();
            DrawLine(std::int32_t(x1), std::int32_t(y1), std::int32_t(x2), std::int32_t(y2), small.View(),
                     Ink);
            ASSERT_EQ(small.Drawn(), expected) << (reversed ? "reversed" : "");
        }
        ASSERT_TRUE(small.GuardIntact());
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

}  // namespace
