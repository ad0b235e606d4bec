// Scale, rounding and placement of the letters are pinned by the show's
// golden pictures; here is the choice of table for characters it never shows.
#include <gtest/gtest.h>

#include "raster/polychar.h"
#include "reference.h"

namespace {

PointSet Text(std::string_view text) {
    GuardedFrame frame(ScreenWidth, ScreenHeight, ScreenWidth);
    DrawCentredText(300, text, 0xFFFFFF, 10, 20, frame.View());
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

}  // namespace
