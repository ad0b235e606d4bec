// The mirrored disc walk. A pixel's shade depends on dx^2 + dy^2 alone, so
// the colour of (j, i), j > i, also serves (i, j) when that is in the disc,
// and each colour is worked out once for up to eight pixels.
#include "raster/disc.h"

namespace raster_detail {

namespace {

// One colour at columns -dx and dx of two rows mirrored across the centre.
inline void StoreMirrored(Colour32* below, Colour32* above, std::int64_t dx, Colour32 c) {
    below[dx] = c;
    above[dx] = c;
    below[-dx] = c;
    above[-dx] = c;
}

}  // namespace

// Half-widths w(dy) never grow with dy (w(0) = w(1)), so the rows that reach
// column i are the first few: rows k < p(i). Row i then stores
//  - (j, i) for j from i to w(i), and with it (i, j) for j < p(i);
//  - (dx, i) for dx from p(i) below the diagonal, whose (i, dx) lies outside.
void WalkDiscMirrored(std::int64_t x, std::int64_t y, std::int64_t radius, const DiscShade& shade,
                      const FrameView& frame) {
    std::int64_t halfWidths[MirroredRadius + 1];
    for (std::int64_t dy = 0; dy <= radius; ++dy) {
        halfWidths[dy] = DiscHalfWidth(shade, dy);
    }
    const std::ptrdiff_t stride = frame.rowOffsets[1];
    std::int64_t reaching = radius + 1;  // p(i): rows 0 .. p(i) - 1 reach column i
    for (std::int64_t i = 0; i <= radius; ++i) {
        while (reaching > 0 && halfWidths[reaching - 1] < i) --reaching;
        const std::int64_t halfWidth = halfWidths[i];
        Colour32* const below = frame.pixels + frame.rowOffsets[y + i] + x;
        Colour32* const above = frame.pixels + frame.rowOffsets[y - i] + x;
        const std::int64_t i2 = i * i;
        // Below the diagonal, not reached from an earlier row.
        for (std::int64_t dx = reaching; dx < i && dx <= halfWidth; ++dx) {
            const Colour32 c = DiscShadeAt(shade, dx, i2);
            StoreMirrored(below, above, dx, c);
        }
        // On and beyond the diagonal; rows y + j and y - j are reached by
        // stepping a row at a time from row i.
        if (i <= halfWidth) {
            const Colour32 c = DiscShadeAt(shade, i, i2);
            StoreMirrored(below, above, i, c);
        }
        Colour32* down = below;
        Colour32* up = above;
        for (std::int64_t j = i + 1; j <= halfWidth; ++j) {
            down += stride;
            up -= stride;
            const Colour32 c = DiscShadeAt(shade, j, i2);
            StoreMirrored(below, above, j, c);
            if (j < reaching) {
                StoreMirrored(down, up, i, c);
            }
        }
    }
}

}  // namespace raster_detail
