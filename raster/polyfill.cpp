#include "raster/polyfill.h"

#include <algorithm>
#include <cstdlib>

#include "raster/clip.h"

using namespace raster_detail;

namespace {

// One edge walked down the rows with an integer error term. On each row it
// covers the pixels from x onwards to the end of its run: a flat edge (wider
// than tall) moves a whole run of pixels per row, a steep one at most one.
struct Edge {
    std::int64_t x;
    std::int64_t row;       // the row x belongs to
    std::int64_t step;      // +1 or -1
    std::int64_t twoDx;     // D = 2 |dx|
    std::int64_t twoDy;     // H = 2 |dy|
    std::int64_t modulus;   // M = max(D, H)
    std::int64_t error;     // 0 <= error < M
    bool flat;              // D > H
};

Edge StartEdge(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    Edge edge;
    edge.x = x0;
    edge.row = y0;
    edge.step = x1 < x0 ? -1 : 1;
    edge.twoDx = 2 * std::abs(x1 - x0);
    edge.twoDy = 2 * std::abs(y1 - y0);
    edge.modulus = std::max(edge.twoDx, edge.twoDy);
    edge.error = edge.modulus / 2;
    edge.flat = edge.twoDx > edge.twoDy;
    return edge;
}

// Moves the edge to the next row (the caller keeps `row`); returns the far
// end of the pixels it covers on the row it leaves (x itself for a steep edge).
// Narrow: M + H < 2^32, so the run division fits 32 bits (true of every
// edge whose ends lie inside a frame).
template <bool Narrow, bool Flat>
inline std::int64_t Advance(Edge& edge) {
    if constexpr (Flat) {
        // n = ceil((M - e) / H) pixels on this row: the first n with e + nH >= M.
        const std::int64_t numerator = edge.modulus - edge.error + edge.twoDy - 1;
        const std::int64_t run =
            Narrow ? static_cast<std::int64_t>(static_cast<std::uint32_t>(numerator) /
                                               static_cast<std::uint32_t>(edge.twoDy))
                   : numerator / edge.twoDy;
        edge.error += run * edge.twoDy - edge.modulus;  // (e + nH) mod M, as e + nH < 2M
        const std::int64_t runEnd = edge.x + (run - 1) * edge.step;
        edge.x = runEnd + edge.step;
        return runEnd;
    }
    const std::int64_t at = edge.x;
    edge.error += edge.twoDx;
    if (edge.error >= edge.modulus) {
        edge.error -= edge.modulus;
        edge.x += edge.step;
    }
    return at;
}

// Moves the edge down to row `target` at once, with the same result as
// advancing it row by row: after j rows a flat edge has moved
// ceil((jM - e) / H) pixels, a steep one floor((e + jD) / M).
void SkipTo(Edge& edge, std::int64_t target) {
    const std::int64_t rows = target - edge.row;
    if (rows <= 0) {
        return;
    }
    std::uint64_t moved;
    if (edge.flat) {
        const auto q = MulAddDivide(static_cast<std::uint64_t>(rows - 1),
                                    static_cast<std::uint64_t>(edge.modulus),
                                    static_cast<std::uint64_t>(edge.modulus - edge.error +
                                                               edge.twoDy - 1),
                                    static_cast<std::uint64_t>(edge.twoDy));
        moved = q.quotient;
        edge.error = edge.twoDy - 1 - static_cast<std::int64_t>(q.remainder);
    } else {
        const auto q = MulAddDivide(static_cast<std::uint64_t>(rows),
                                    static_cast<std::uint64_t>(edge.twoDx),
                                    static_cast<std::uint64_t>(edge.error),
                                    static_cast<std::uint64_t>(edge.modulus));
        moved = q.quotient;
        edge.error = static_cast<std::int64_t>(q.remainder);
    }
    edge.x += edge.step * static_cast<std::int64_t>(moved);
    edge.row = target;
}

struct Target {
    const FrameView& frame;
    Colour32 colour;
};

// Row y from `from` to `to`; y is inside the frame. With Clip the run is cut
// to the frame's columns, without it the run is known to lie inside.
template <bool Clip>
inline void FillRow(const Target& target, std::int64_t y, std::int64_t from, std::int64_t to) {
    if constexpr (Clip) {
        from = std::max<std::int64_t>(from, 0);
        to = std::min<std::int64_t>(to, target.frame.width - 1);
        if (from > to) {
            return;
        }
    }
    StoreRun(target.frame.pixels + target.frame.rowOffsets[y], from, to, target.colour);
}

// Rows [from, to) between the two edges, which stand on row `from`. The row
// between the edges and the runs of both edges on it all touch the edges'
// x, so together they are one run from the leftmost to the rightmost.
template <bool Clip, bool FlatA, bool FlatB>
void WalkRowsOf(const Target& target, Edge& a, Edge& b, std::int64_t from, std::int64_t to) {
    for (std::int64_t y = from; y < to; ++y) {
        std::int64_t left = std::min(a.x, b.x);
        std::int64_t right = std::max(a.x, b.x);
        // Unclipped triangles lie inside the frame, so their edges are narrow.
        const std::int64_t endA = Advance<!Clip, FlatA>(a);
        const std::int64_t endB = Advance<!Clip, FlatB>(b);
        left = std::min(left, std::min(endA, endB));
        right = std::max(right, std::max(endA, endB));
        FillRow<Clip>(target, y, left, right);
    }
}

// The kind of each edge is settled once per section, not once per row.
template <bool Clip>
void WalkRows(const Target& target, Edge& a, Edge& b, std::int64_t from, std::int64_t to) {
    if (from >= to) {
        return;
    }
    if (a.flat) {
        if (b.flat) {
            WalkRowsOf<Clip, true, true>(target, a, b, from, to);
        } else {
            WalkRowsOf<Clip, true, false>(target, a, b, from, to);
        }
    } else if (b.flat) {
        WalkRowsOf<Clip, false, true>(target, a, b, from, to);
    } else {
        WalkRowsOf<Clip, false, false>(target, a, b, from, to);
    }
    a.row = to;
    b.row = to;
}

struct Corner {
    std::int64_t x, y;
};

// Corners sorted top to bottom. With Clip only the rows and columns inside the
// frame are written, and edges are moved past hidden rows in one step.
template <bool Clip>
void WalkTriangle(const Corner& c1, const Corner& c2, const Corner& c3, const Target& target) {
    const std::int64_t height = target.frame.height;
    Edge a = StartEdge(c1.x, c1.y, c3.x, c3.y);  // the long edge, top to bottom
    Edge b = StartEdge(c1.x, c1.y, c2.x, c2.y);  // top to middle
    if (c1.y < c2.y) {
        std::int64_t from = c1.y;
        std::int64_t to = c2.y;
        if constexpr (Clip) {
            from = std::max<std::int64_t>(from, 0);
            to = std::min(to, height);
            SkipTo(a, from);
            SkipTo(b, from);
        }
        WalkRows<Clip>(target, a, b, from, to);
        if (Clip && c2.y >= height) {
            return;
        }
    }
    if (c2.y < c3.y) {
        b = StartEdge(c2.x, c2.y, c3.x, c3.y);  // middle to bottom
        std::int64_t from = c2.y;
        std::int64_t to = c3.y;
        if constexpr (Clip) {
            from = std::max<std::int64_t>(from, 0);
            to = std::min(to, height);
            SkipTo(a, from);
            SkipTo(b, from);
        }
        WalkRows<Clip>(target, a, b, from, to);
    }
    if constexpr (Clip) {
        if (c3.y < 0 || c3.y >= height) {
            return;
        }
        SkipTo(a, c3.y);
        SkipTo(b, c3.y);
    }
    // The bottom row: from both edges to the bottom corner, and on a flat
    // bottom also between the middle and the bottom corner.
    std::int64_t from = std::min({a.x, b.x, c3.x});
    std::int64_t to = std::max({a.x, b.x, c3.x});
    if (c2.y == c3.y) {
        from = std::min(from, c2.x);
        to = std::max(to, c2.x);
    }
    FillRow<Clip>(target, c3.y, from, to);
}

// Returns whether the triangle reached outside the frame.
bool FillTriangleClipped(Corner c1, Corner c2, Corner c3, const Target& target) {
    // Top, middle and bottom corner; corners on one row keep their order.
    if (c2.y < c1.y) std::swap(c1, c2);
    if (c3.y < c1.y) std::swap(c1, c3);
    if (c3.y < c2.y) std::swap(c2, c3);

    const std::int64_t left = std::min({c1.x, c2.x, c3.x});
    const std::int64_t right = std::max({c1.x, c2.x, c3.x});
    // Every corner is drawn and nothing outside their bounding box is.
    const bool clipped = left < 0 || right >= target.frame.width || c1.y < 0 ||
                         c3.y >= target.frame.height;
    // The unclipped walk also relies on 32-bit run divisions, which hold for
    // any frame up to 2^29 pixels on a side.
    constexpr std::int64_t NarrowLimit = std::int64_t{1} << 29;
    const bool inside = !clipped && target.frame.width <= NarrowLimit &&
                        target.frame.height <= NarrowLimit;
    if (c1.y == c3.y) {
        if (c1.y >= 0 && c1.y < target.frame.height) {
            FillRow<true>(target, c1.y, left, right);
        }
    } else if (inside) {
        WalkTriangle<false>(c1, c2, c3, target);
    } else {
        WalkTriangle<true>(c1, c2, c3, target);
    }
    return clipped;
}

}  // namespace

void FillTriangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::int32_t x3, std::int32_t y3, const FrameView& frame, Colour32 colour) {
    const Target target{frame, colour};
    if (FillTriangleClipped({x1, y1}, {x2, y2}, {x3, y3}, target)) {
        NoteClipped();
    }
}

void FillQuad(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t x3, std::int32_t y3, std::int32_t x4, std::int32_t y4,
              const FrameView& frame, Colour32 colour) {
    const Target target{frame, colour};
    bool clipped = FillTriangleClipped({x1, y1}, {x2, y2}, {x3, y3}, target);
    clipped |= FillTriangleClipped({x4, y4}, {x3, y3}, {x2, y2}, target);
    if (clipped) {
        NoteClipped();
    }
}
