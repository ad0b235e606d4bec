#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "raster/polychar.h"
#include "reference.h"

namespace {

constexpr Colour32 Ink = 0xFFFFFF;

PointSet Text(std::int32_t y, std::string_view text, double sx, double sy) {
    GuardedFrame frame(ScreenWidth, ScreenHeight, ScreenWidth);
    DrawCentredText(y, text, Ink, sx, sy, frame.View());
    EXPECT_TRUE(frame.GuardIntact());
    return frame.Drawn();
}

PointSet DrawnGlyph(unsigned char ch, double sx, double sy) {
    GuardedFrame frame(200, 200, 200);
    DrawGlyph(50, 100, ch, sx, sy, Ink, frame.View());
    return frame.Drawn();
}

using Extent = std::pair<std::int64_t, std::int64_t>;

Extent RowExtent(const PointSet& points) {
    std::int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (const auto& [x, y] : points) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    return {top, bottom};
}

TEST(DrawCentredText, CapitalIIsOneColumnAtTheCentre) {
    PointSet column;
    for (int y = 285; y <= 315; ++y) column.insert({400, y});
    EXPECT_EQ(Text(300, "I", 20, 30), column);
}

TEST(DrawCentredText, EmptyAndUnknownCharactersKeepTheirCells) {
    EXPECT_TRUE(Text(300, "", 20, 30).empty());
    EXPECT_TRUE(Text(300, " #\xE9", 20, 30).empty());
    // In "a b" the 'b' stands two cells (4 sx) right of the 'a'.
    const PointSet ab = Text(300, "a b", 10, 20);
    PointSet a, b;
    {
        GuardedFrame frame(ScreenWidth, ScreenHeight, ScreenWidth);
        DrawGlyph(370, 300, 'a', 10, 20, Ink, frame.View());
        a = frame.Drawn();
        GuardedFrame other(ScreenWidth, ScreenHeight, ScreenWidth);
        DrawGlyph(410, 300, 'b', 10, 20, Ink, other.View());
        b = other.Drawn();
    }
    PointSet both = a;
    both.insert(b.begin(), b.end());
    EXPECT_EQ(ab, both);
    EXPECT_EQ(Text(300, "a#b", 10, 20), both);
}

TEST(DrawGlyph, SpecialScalesAndDots) {
    EXPECT_EQ(RowExtent(DrawnGlyph('e', 20, 30)), Extent(100, 116));
    EXPECT_EQ(RowExtent(DrawnGlyph('o', 20, 30)), Extent(100, 115));
    EXPECT_EQ(DrawnGlyph('.', 20, 30), (PointSet{{70, 115}}));
    EXPECT_EQ(DrawnGlyph(':', 20, 30), (PointSet{{70, 100}, {70, 115}}));
    // 'T': the stem at half the cell width, the bar across the full width.
    const PointSet t = DrawnGlyph('T', 20, 30);
    EXPECT_TRUE(t.count({60, 115}) && t.count({50, 85}) && t.count({70, 85}));
    EXPECT_FALSE(t.count({70, 100}));
    // '=': two full-width bars, on the middle line and a quarter height below.
    PointSet equals;
    for (int x = 50; x <= 70; ++x) {
        equals.insert({x, 100});
        equals.insert({x, 108});
    }
    EXPECT_EQ(DrawnGlyph('=', 20, 30), equals);
    // '+': half a cell wide, bar a quarter height down, stem from the middle line.
    PointSet plus;
    for (int x = 50; x <= 60; ++x) plus.insert({x, 108});
    for (int y = 100; y <= 116; ++y) plus.insert({55, y});
    EXPECT_EQ(DrawnGlyph('+', 20, 30), plus);
}

TEST(Glyphs, TablesAndLookup) {
    EXPECT_EQ(std::memcmp(&SpecialGlyphs[SpecialGlyphIndex(0xD6)],
                          &SpecialGlyphs[SpecialGlyphIndex(0xF6)], sizeof(Glyph)),
              0);  // 'Ö' and 'ö' share a glyph
    EXPECT_EQ(DrawnGlyph(0xD6, 10, 20), DrawnGlyph(0xF6, 10, 20));
    const unsigned char specials[] = "\xC5\xE5\xC4\xE4\xD6\xF6,.?!:'-=+/";
    for (std::uint8_t i = 0; i < 16; ++i) {
        EXPECT_EQ(SpecialGlyphIndex(specials[i]), i);
        EXPECT_FALSE(DrawnGlyph(specials[i], 10, 20).empty()) << int(i);
    }
    EXPECT_EQ(SpecialGlyphIndex(' '), 255);
    EXPECT_EQ(SpecialGlyphIndex('A'), 255);
    EXPECT_EQ(SpecialGlyphIndex(0xE9), 255);
    // Every stroke stays on the grid x 0..2, y -1..2.
    for (const Glyph* table : {UpperGlyphs, LowerGlyphs, DigitGlyphs, SpecialGlyphs}) {
        const int count = table == DigitGlyphs ? 10 : table == SpecialGlyphs ? 16 : 26;
        for (int g = 0; g < count; ++g) {
            for (const GlyphSegment& s : table[g].strokes) {
                for (int x : {s.x1, s.x2}) ASSERT_TRUE(x >= 0 && x <= 2);
                for (int y : {s.y1, s.y2}) ASSERT_TRUE(y >= -1 && y <= 2);
            }
        }
    }
    // Spot checks of table rows against their characters.
    const GlyphSegment a0 = UpperGlyphs[0].strokes[2];
    EXPECT_EQ((std::array<int, 4>{a0.x1, a0.y1, a0.x2, a0.y2}), (std::array<int, 4>{0, -1, 1, -1}));
    const GlyphSegment g4 = LowerGlyphs['g' - 'a'].strokes[4];
    EXPECT_EQ((std::array<int, 4>{g4.x1, g4.y1, g4.x2, g4.y2}), (std::array<int, 4>{0, 2, 1, 2}));
    const GlyphSegment seven = DigitGlyphs[7].strokes[1];
    EXPECT_EQ((std::array<int, 4>{seven.x1, seven.y1, seven.x2, seven.y2}),
              (std::array<int, 4>{1, -1, 0, 1}));
}

TEST(DrawCentredText, DigitsAndLettersUseTheirOwnTables) {
    // '0' has five strokes including a diagonal, 'O' has four with no diagonal.
    const PointSet zero = DrawnGlyph('0', 20, 30);
    const PointSet oh = DrawnGlyph('O', 20, 30);
    EXPECT_NE(zero, oh);
    EXPECT_TRUE(zero.count({60, 100}));
    EXPECT_FALSE(oh.count({60, 100}));
    EXPECT_EQ(RowExtent(DrawnGlyph('g', 20, 20)).second, 120);  // descender to grid y = 2
}

}  // namespace
