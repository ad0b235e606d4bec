#pragma once
// The demo's words: the three title lines of the first ten seconds and the
// four greeting lines over the landscape. Each line is one centred text call.
#include <cstdint>
#include <string_view>

#include "raster/colour.h"
#include "raster/frame.h"

struct TextLine {
    std::int32_t y;         // middle line of the text
    std::string_view text;  // Windows-1252 bytes
    Colour32 colour;
    double sx;  // glyph width; glyphs advance by 2 * sx
    double sy;  // glyph height
};

// The title for scene indices 0..9; nullptr for any other index.
const TextLine* TitleFor(std::int32_t sceneIndex);

// The four greeting lines, in drawing order.
extern const TextLine GreetingLines[4];

// Draws the title of sceneIndex (0..9); other indices draw nothing.
void DrawTitles(std::int32_t sceneIndex, const FrameView& frame);

// Draws the four greeting lines, "Greets to:" first.
void DrawGreetings(const FrameView& frame);
