// ShadedDisc and its plain walk, the rows dy = 0 .. r below and above the
// centre each from dx = 0 to its half-width, left and right of it.
#include <algorithm>

#include "raster/clip.h"
#include "raster/disc.h"
#include "raster/primitives.h"

namespace raster_detail {

namespace {

// The first and the last d in [0, reach] for which centre + d or centre - d
// lies in [0, size); first > last when there is none.
struct Offsets {
    std::int64_t first, last;
};

Offsets OffsetsInside(std::int64_t centre, std::int64_t reach, std::int64_t size) {
    return {std::max({std::int64_t{0}, -centre, centre - (size - 1)}),
            std::min(reach, std::max(size - 1 - centre, centre))};
}

void PutInside(std::int64_t x, std::int64_t y, const FrameView& frame, Colour32 colour) {
    if (x >= 0 && x < frame.width && y >= 0 && y < frame.height) {
        frame.pixels[frame.rowOffsets[y] + x] = colour;
    }
}

}  // namespace

void WalkDiscPlain(std::int64_t cx, std::int64_t cy, std::int64_t radius, const DiscShade& shade,
                   const FrameView& frame) {
    const Offsets rows = OffsetsInside(cy, radius, frame.height);
    for (std::int64_t dy = rows.first; dy <= rows.last; ++dy) {
        const Offsets columns = OffsetsInside(cx, DiscHalfWidth(shade, dy), frame.width);
        for (std::int64_t dx = columns.first; dx <= columns.last; ++dx) {
            const Colour32 c = DiscShadeAt(shade, dx, dy * dy);
            PutInside(cx + dx, cy + dy, frame, c);
            PutInside(cx + dx, cy - dy, frame, c);
            PutInside(cx - dx, cy + dy, frame, c);
            PutInside(cx - dx, cy - dy, frame, c);
        }
    }
}

}  // namespace raster_detail

void ShadedDisc(std::int32_t cx, std::int32_t cy, std::int32_t r, const FrameView& frame, Colour32 colour) {
    using namespace raster_detail;
    if (r <= 0) {
        return;
    }
    const std::int64_t x = cx, y = cy, radius = r;
    // The disc covers exactly its bounding square's rows and, on its centre
    // row, its columns: it clips when that square leaves the frame.
    const bool clipped =
        x - radius < 0 || x + radius >= frame.width || y - radius < 0 || y + radius >= frame.height;
    const DiscShade shade = MakeDiscShade(radius, colour);
    if (clipped || radius > MirroredRadius) {
        WalkDiscPlain(x, y, radius, shade, frame);
    } else {
        WalkDiscMirrored(x, y, radius, shade, frame);
    }
    if (clipped) {
        NoteClipped();
    }
}
