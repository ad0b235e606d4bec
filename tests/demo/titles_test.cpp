#include <string>

#include "demo/titles.h"
#include "demo_fixture.h"
#include "raster/polychar.h"

namespace {

using Titles = DemoTest;

// Where the ink of each line begins and ends. Every first glyph has a stroke
// on its cell's left edge and every last glyph one at grid x = 1, so the ink
// spans from the first glyph's x to the last glyph's x plus one glyph width.
struct LinePlacement {
    const char* text;
    int y, firstGlyphX, lastGlyphX, sx;
    Colour32 colour;
};

//                                    text               y    first  last  sx  colour
constexpr LinePlacement Placements[] = {
    {"Zorq presenterar",               300,  80,   680,  20, 0x00FF00},
    {"Ett bl\xE4" "ndurfa-demo",       300,  40,   720,  20, 0x00FF00},
    {"372 Kbit",                       300,  160,  580,  30, 0x00FFFF},
    {"Greets to:",                     150,  100,  640,  30, 0xFFFFFF},
    {"Pl4xw1nd",                       200,  240,  520,  20, 0x00FF00},
    {"Morvelund",                      240,  220,  540,  20, 0x00FF00},
    {"Vexel Kontor",                   280,  160,  600,  20, 0x00FF00},
};

void ExpectPlacement(const TextLine& line, const LinePlacement& expected) {
    SCOPED_TRACE(expected.text);
    EXPECT_EQ(line.text, std::string(expected.text));
    EXPECT_EQ(line.y, expected.y);
    EXPECT_EQ(line.colour, expected.colour);
    const auto frame = NewOwnedFrame();
    DrawCentredText(line.y, line.text, line.colour, line.sx, line.sy, frame->view);
    const InkBox ink = FindInk(frame->memory);
    EXPECT_EQ(ink.minX, expected.firstGlyphX);
    EXPECT_EQ(ink.maxX, expected.lastGlyphX + expected.sx);
    EXPECT_TRUE(ink.minY <= line.y && ink.maxY >= line.y);
    long inColour = 0;  // one colour throughout: nothing blends
    for (const Colour32 p : frame->memory.pixels) inColour += p == line.colour;
    EXPECT_EQ(inColour, ink.count);
}

TEST_F(Titles, EachSceneShowsItsLineCentredAsTabled) {
    const int firstScene[] = {0, 3, 6, 10};
    for (int t = 0; t < 3; ++t) {
        for (int scene = firstScene[t]; scene < firstScene[t + 1]; ++scene) {
            EXPECT_EQ(TitleFor(scene), TitleFor(firstScene[t])) << scene;
        }
        ASSERT_NE(TitleFor(firstScene[t]), nullptr);
        ExpectPlacement(*TitleFor(firstScene[t]), Placements[t]);
    }
    EXPECT_EQ(TitleFor(-1), nullptr);
    EXPECT_EQ(TitleFor(10), nullptr);
    for (int n = 0; n < 4; ++n) ExpectPlacement(GreetingLines[n], Placements[3 + n]);

    const auto frame = NewOwnedFrame();
    DrawTitles(10, frame->view);
    DrawTitles(36, frame->view);
    EXPECT_EQ(FindInk(frame->memory).count, 0);
    DrawGreetings(frame->view);
    EXPECT_LT(FindInk(frame->memory).maxY, 365);  // the landscape's top
    EXPECT_EQ(PixelOf(frame->memory, 100, 150), 0xFFFFFFu);  // "Greets to:" drawn, and not covered
}

}  // namespace
