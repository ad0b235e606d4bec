#include <gtest/gtest.h>

#include <algorithm>

#include "raster/polychar.h"
#include "reference.h"

namespace {

constexpr Colour32 Ink = 0xFFFFFF;

PointSet Text(std::string_view text, double sx, double sy) {
    GuardedFrame frame(ScreenWidth, ScreenHeight, ScreenWidth);
    DrawCentredText(300, text, Ink, sx, sy, frame.View());
    EXPECT_TRUE(frame.GuardIntact());
    return frame.Drawn();
}

PointSet Glyph(unsigned char ch, double sx, double sy, std::int32_t x = 50, std::int32_t y = 100) {
    GuardedFrame frame(ScreenWidth, ScreenHeight, ScreenWidth);
    DrawGlyph(x, y, ch, sx, sy, Ink, frame.View());
    return frame.Drawn();
}

std::pair<std::int64_t, std::int64_t> RowExtent(const PointSet& points) {
    std::int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (const auto& [x, y] : points) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    return {top, bottom};
}

TEST(DrawCentredText, PlacesCellsTwoWidthsApartAroundTheCentre) {
    PointSet column;
    for (int y = 285; y <= 315; ++y) column.insert({400, y});
    EXPECT_EQ(Text("I", 20, 30), column);  // cell at 380, stem at grid x = 1

    EXPECT_TRUE(Text("", 20, 30).empty());
    EXPECT_TRUE(Text(" #\xE9", 20, 30).empty());
    // Unknown characters keep their cell: 'b' stands two cells right of 'a'.
    PointSet both = Glyph('a', 10, 20, 370, 300);
    both.merge(Glyph('b', 10, 20, 410, 300));
    EXPECT_EQ(Text("a b", 10, 20), both);
    EXPECT_EQ(Text("a#b", 10, 20), both);
}

TEST(DrawGlyph, SpecialScalesDotsAndTables) {
    EXPECT_EQ(RowExtent(Glyph('e', 20, 30)), std::make_pair(100L, 116L));  // 7.5 rounds to 8
    EXPECT_EQ(RowExtent(Glyph('o', 20, 30)), std::make_pair(100L, 115L));
    EXPECT_EQ(RowExtent(Glyph('g', 20, 20)).second, 120);  // descender to grid y = 2
    EXPECT_EQ(Glyph('.', 20, 30), (PointSet{{70, 115}}));
    EXPECT_EQ(Glyph(':', 20, 30), (PointSet{{70, 100}, {70, 115}}));
    // 'T': the stem at half the cell width, the bar across the full width.
    const PointSet t = Glyph('T', 20, 30);
    EXPECT_TRUE(t.count({60, 115}) && t.count({50, 85}) && t.count({70, 85}));
    EXPECT_FALSE(t.count({70, 100}));
    // '=': two full-width bars, on the middle line and a quarter height below.
    // '+': half a cell wide, bar a quarter height down, stem from the middle line.
    PointSet equals, plus;
    for (int x = 50; x <= 70; ++x) equals.insert({{x, 100}, {x, 108}});
    for (int x = 50; x <= 60; ++x) plus.insert({x, 108});
    for (int y = 100; y <= 116; ++y) plus.insert({55, y});
    EXPECT_EQ(Glyph('=', 20, 30), equals);
    EXPECT_EQ(Glyph('+', 20, 30), plus);
    // Digits come from their own table: '0' has a diagonal, 'O' has none.
    EXPECT_TRUE(Glyph('0', 20, 30).count({60, 100}));
    EXPECT_FALSE(Glyph('O', 20, 30).count({60, 100}));
    EXPECT_EQ(Glyph(0xD6, 10, 20), Glyph(0xF6, 10, 20));  // 'Ö' and 'ö' share a glyph

    for (const char special : std::string_view("\xC5\xE5\xC4\xE4\xD6\xF6,.?!:'-=+/")) {
        EXPECT_FALSE(Glyph(static_cast<unsigned char>(special), 10, 20).empty()) << int(special);
    }
}

}  // namespace
