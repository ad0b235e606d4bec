#pragma once
// The stroke font: every glyph is five straight strokes on a coarse grid,
// scaled to any size and drawn with DrawLine.
#include <cstdint>
#include <string_view>

#include "raster/colour.h"
#include "raster/frame.h"

struct GlyphSegment {
    std::int8_t x1, y1, x2, y2;
};

struct Glyph {
    GlyphSegment strokes[5];
};

extern const Glyph UpperGlyphs[26];
extern const Glyph LowerGlyphs[26];
extern const Glyph DigitGlyphs[10];
extern const Glyph SpecialGlyphs[16];

// "ÅåÄäÖö,.?!:'-=+/" in Windows-1252.
extern const unsigned char SpecialChars[16];

// Position of ch in SpecialChars, or 255.
std::uint8_t SpecialGlyphIndex(unsigned char ch);

// Draws one character; (x, y) is the left end of the glyph's middle line.
void DrawGlyph(std::int32_t x, std::int32_t y, unsigned char ch, double sx, double sy, Colour32 colour,
               const FrameView& frame);

// Draws a line of Windows-1252 text centred on the frame, its middle line on row y.
void DrawCentredText(std::int32_t y, std::string_view text, Colour32 colour, double sx, double sy,
                     const FrameView& frame);
