#pragma once
// Internal to the raster library: the clipping steps behind the public
// primitives. Each step reports whether it had to clip, so that one public
// call is counted once in ClippedDrawCount however many steps it takes.
//
// Coordinates here are 64-bit so that any pair of 32-bit coordinates, and a
// 32-bit origin plus a 32-bit offset (the glyph strokes), can be handled
// without overflow: every coordinate must lie within +-2^33.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "raster/colour.h"
#include "raster/frame.h"

namespace raster_detail {

struct QuotientRemainder {
    std::uint64_t quotient;
    std::uint64_t remainder;
};

// floor((a * b + c) / d) and its remainder, exactly, for a, b, c, d < 2^40,
// d > 0 and a quotient below 2^64, without a 128-bit type: b is taken in two
// 20-bit halves so that no partial product exceeds 2^62.
inline QuotientRemainder MulAddDivide(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) {
    const std::uint64_t high = a * (b >> 20);
    const std::uint64_t highQuotient = high / d;
    const std::uint64_t low = ((high % d) << 20) + a * (b & 0xFFFFF) + c;
    return {(highQuotient << 20) + low / d, low % d};
}

// Stores colour at row[from..to], both ends included; from <= to. Runs are
// mostly short (a landscape cell is about ten pixels wide), so they are
// stored two pixels per 64-bit store rather than through a vector loop with
// its set-up.
inline void StoreRun(Colour32* row, std::int64_t from, std::int64_t to, Colour32 colour) {
    Colour32* pixel = row + from;
    const std::int64_t count = to - from + 1;
    const std::uint64_t pair = colour * 0x0000000100000001ull;
    Colour32* const end8 = pixel + (count & ~std::int64_t{7});
    for (; pixel != end8; pixel += 8) {
        std::memcpy(pixel, &pair, sizeof pair);
        std::memcpy(pixel + 2, &pair, sizeof pair);
        std::memcpy(pixel + 4, &pair, sizeof pair);
        std::memcpy(pixel + 6, &pair, sizeof pair);
    }
    if (count & 4) {
        std::memcpy(pixel, &pair, sizeof pair);
        std::memcpy(pixel + 2, &pair, sizeof pair);
        pixel += 4;
    }
    if (count & 2) {
        std::memcpy(pixel, &pair, sizeof pair);
        pixel += 2;
    }
    if (count & 1) {
        *pixel = colour;
    }
}

// Stores colour on row y from min(x1, x2) to max(x1, x2), skipping what lies
// outside the frame.
bool HorizontalSpanClipped(std::int64_t x1, std::int64_t y, std::int64_t x2, const FrameView& frame,
                           Colour32 colour);
bool VerticalSpanClipped(std::int64_t x, std::int64_t y1, std::int64_t y2, const FrameView& frame,
                         Colour32 colour);

// The Bresenham line, keeping exactly its pixels that lie inside the frame.
bool DrawLineClipped(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                     const FrameView& frame, Colour32 colour);

void NoteClipped();

}  // namespace raster_detail
