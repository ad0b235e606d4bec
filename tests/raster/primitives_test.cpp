// The primitives on what the show never hands them: spans and rectangles
// with their ends in either order, discs of no size, characters it never
// shows, degenerate vectors; and the fast disc walk held to the plain one.
#include <gtest/gtest.h>

#include "raster/disc.h"
#include "raster/polychar.h"
#include "raster/primitives.h"
#include "raster/vec3.h"
#include "reference.h"

namespace {

constexpr Colour32 White = 0xFFFFFF;

TEST(SpansAndRectangle, CoverBothEndsInEitherOrder) {
    GuardedFrame frame(32, 32, 40);
    HorizontalSpan(5, 7, 2, frame.View(), White);
    VerticalSpan(1, 4, 2, frame.View(), White);
    EXPECT_EQ(frame.Drawn(), (PointSet{{2, 7}, {3, 7}, {4, 7}, {5, 7}, {1, 2}, {1, 3}, {1, 4}}));

    GuardedFrame sorted(32, 32, 32), unsorted(32, 32, 40);
    DrawRectangle(3, 4, 20, 25, sorted.View(), White);
    DrawRectangle(20, 25, 3, 4, unsorted.View(), White);
    const PointSet outline = sorted.Drawn();
    EXPECT_EQ(outline.size(), 2u * 18 + 2u * 20);
    EXPECT_EQ(unsorted.Drawn(), outline);
    EXPECT_TRUE(outline.count({3, 4}) && outline.count({20, 25}) && outline.count({3, 25}));
    EXPECT_TRUE(unsorted.GuardIntact());
}

// No disc the show draws is smaller than radius 1 (its shading is pinned by
// the golden pictures); below that nothing is drawn.
TEST(ShadedDisc, RadiusZeroOrLessIsNothing) {
    GuardedFrame frame(16, 16, 19);
    for (std::int32_t y = 0; y < 16; ++y) HorizontalSpan(0, y, 15, frame.View(), 0x123456);
    ShadedDisc(8, 8, 0, frame.View(), White);
    ShadedDisc(8, 8, -3, frame.View(), White);
    EXPECT_EQ(frame.Pixels(0, 0, 16, 16), std::vector<Colour32>(16 * 16, 0x123456));
}

// A disc wholly inside the frame takes the mirrored walk: it must give the
// plain walk's pixels for every radius up to 120 and for larger ones up to
// the largest it takes, each disc in a frame it just fits.
TEST(ShadedDisc, MirroredWalkGivesThePlainWalksPixels) {
    ResetClippedDrawCount();
    std::vector<std::int32_t> radii{200, 299, 300, 511};
    for (std::int32_t r = 1; r <= 120; ++r) radii.push_back(r);
    for (const std::int32_t r : radii) {
        const Colour32 colour = r % 3 == 0 ? White : r % 3 == 1 ? 0x00C08040 : 0x00123456;
        const std::int32_t side = 2 * r + 1;
        GuardedFrame mirrored(side, side, side + 3), plain(side, side, side);
        ShadedDisc(r, r, r, mirrored.View(), colour);
        raster_detail::WalkDiscPlain(r, r, r, raster_detail::MakeDiscShade(r, colour), plain.View());
        ASSERT_TRUE(mirrored.GuardIntact()) << r;
        ASSERT_EQ(mirrored.Pixels(0, 0, side, side), plain.Pixels(0, 0, side, side)) << "radius " << r;
    }
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

// Scale, rounding and placement of the letters are pinned by the show's
// golden pictures; here is the choice of table for characters it never shows.
PointSet Text(std::string_view text) {
    GuardedFrame frame(ScreenWidth, ScreenHeight, ScreenWidth);
    DrawCentredText(300, text, White, 10, 20, frame.View());
    EXPECT_TRUE(frame.GuardIntact());
    return frame.Drawn();
}

TEST(DrawCentredText, CharacterTablesAndUnknownCharacters) {
    EXPECT_TRUE(Text("").empty());
    EXPECT_TRUE(Text(" #\xE9").empty());
    // An unknown character keeps its cell, as a space does.
    EXPECT_EQ(Text("a#b"), Text("a b"));
    EXPECT_NE(Text("a#b"), Text("ab"));
    // Digits have their own table: '0' has a diagonal, 'O' has none.
    EXPECT_NE(Text("0"), Text("O"));
    EXPECT_EQ(Text("\xD6"), Text("\xF6"));  // 'Ö' and 'ö' share a glyph
    EXPECT_NE(Text("\xC5"), Text("\xC4"));
    for (const char special : std::string_view("\xC5\xE5\xC4\xE4\xD6\xF6,.?!:'-=+/"))
        EXPECT_FALSE(Text(std::string_view(&special, 1)).empty()) << int(special);
}

// Rotations, normals and projection in general are pinned by the show's
// golden pictures; these are the degenerate inputs it never hands them.
TEST(Vec3, ZeroLengthAndViewerPlaneLeaveTheirResultAlone) {
    Vec3 zero = MakeVec3(0, 0, 0);
    Normalize(zero);  // no division by zero: stays the zero vector, not NaN
    EXPECT_TRUE(zero.x == 0 && zero.y == 0 && zero.z == 0);
    ScreenPoint untouched{123.5, 456.5};
    EXPECT_FALSE(Project(500, 300, 600, 600, untouched));
    EXPECT_TRUE(untouched.x == 123.5 && untouched.y == 456.5);
    EXPECT_TRUE(Project(500, 300, 900, 600, untouched));  // behind the viewer: mirrored
    EXPECT_TRUE(untouched.x == 200 && untouched.y == 300);
}

}  // namespace
