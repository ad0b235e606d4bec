#pragma once
// Internal to the raster library: the fixed-point edges of the fast triangle
// walks, for triangles inside a frame of at most InsideLimit pixels on a side.
//
// Each edge's x on every row is read from a fixed-point position (32
// fraction bits) that advances by one addition per row: landscape triangles
// cover a few pixels on each of a dozen rows, so the row's arithmetic is
// most of their cost.
//
// The positions are exactly those of the error terms of the plain walk. With
// a = |dx| and b = dy of an edge (H = 2b, D = 2a, e starting at M / 2), after
// j rows
//   a steep edge (a <= b) has moved floor((e + jD) / M) = floor((2ja + b) / 2b),
//   a flat one (a > b), for j >= 1, ceil((jM - e) / H) = ceil((2j - 1) a / 2b)
//                                                  = floor(((2j - 1) a + 2b - 1) / 2b)
// pixels. Both are floor(n / 2b) for an integer n that grows by 2a per row.
// With R = ceil(2^32 / 2b), n R exceeds n 2^32 / 2b by less than n, and n
// stays below (2b + 1)(a + 1) < 2^21 for a, b < 1024, even one row past the
// edge's end, where the far end of a flat edge's run is read before the
// corner bounds it; a quotient that is not whole lies at least 1 / 2b below
// the next integer, and n 2b < 2^21 * 2^11 = 2^32, so the integer part of
// n R / 2^32 is floor(n / 2b).
// An edge stepping left keeps 2^32 - 1 - n R instead, whose integer part is
// then -floor(n / 2b).
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "raster/triangle_walks.h"

namespace raster_detail {

struct Reciprocals {
    std::uint32_t ofTwice[InsideLimit];  // ceil(2^32 / 2b) for b >= 1
};

constexpr Reciprocals MakeReciprocals() {
    Reciprocals r{};
    for (std::uint32_t b = 1; b < InsideLimit; ++b) {
        r.ofTwice[b] = static_cast<std::uint32_t>(((std::uint64_t{1} << 32) - 1) / (2 * b) + 1);
    }
    return r;
}

inline constexpr Reciprocals TwiceReciprocal = MakeReciprocals();

// Each edge keeps two positions: of the first and of the last pixel of its
// run on the row it stands on. A steep edge covers its x alone, so both are
// the same; a flat one runs from its x towards its x on the next row, and
// the far end of the run is the next row's x moved back by one pixel. On the
// rows of its corners the run stops at the corner, which bounding it by the
// edge's columns does.
struct InsideEdge {
    std::int64_t low;      // first pixel of the run, times 2^32
    std::int64_t high;     // last pixel of the run, times 2^32
    std::int64_t step;     // of both, per row
    std::ptrdiff_t least;  // the edge's columns
    std::ptrdiff_t most;
};

// Edge from (x0, y0) down to (x1, y1), y1 > y0, all coordinates below
// InsideLimit, standing on row y0. A steep edge's position starts there
// (n = b); a flat one's is taken at row 1 (n = a + 2b - 1), its run on row 0
// starting one row back and ending a pixel short of it, in the edge's
// direction. Leftwards the position is x0 2^32 + 2^32 - 1 - n R, and the
// run's two ends swap.
inline InsideEdge StartInsideEdge(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    constexpr std::int64_t One = std::int64_t{1} << 32;
    const std::int64_t dx = x1 - x0;
    const bool leftwards = dx < 0;
    const std::int64_t a = leftwards ? -dx : dx;
    const std::int64_t b = y1 - y0;
    const std::int64_t reciprocal = TwiceReciprocal.ofTwice[b];
    const bool flat = a > b;
    const std::int64_t onward = (flat ? a + 2 * b - 1 : b) * reciprocal;
    const std::int64_t origin = x0 * One;
    const std::int64_t position = leftwards ? origin + One - 1 - onward : origin + onward;
    InsideEdge edge;
    edge.step = leftwards ? -2 * a * reciprocal : 2 * a * reciprocal;
    edge.low = edge.high = position;
    if (flat) {
        const std::int64_t back = position - edge.step;
        edge.low = leftwards ? position + One : back;
        edge.high = leftwards ? back : position - One;
    }
    edge.least = std::min(x0, x1);
    edge.most = std::max(x0, x1);
    return edge;
}

// The edge from the top corner to the middle one, or with a flat top the
// one from the middle corner to the bottom; corners sorted, c1.y < c3.y.
inline InsideEdge StartUpperEdge(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3) {
    return c1.y < c2.y ? StartInsideEdge(c1.x, c1.y, c2.x, c2.y) : StartInsideEdge(c2.x, c2.y, c3.x, c3.y);
}

}  // namespace raster_detail
