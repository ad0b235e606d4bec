#include "raster/polyfill.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// ---- triangles inside the frame ---------------------------------------------
//
// The same walk for triangles known to lie inside the frame, in 32-bit
// arithmetic and with few data-dependent branches: landscape triangles cover
// a few pixels on each of a dozen rows, so a mispredicted branch per row
// would cost more than the row's arithmetic.
//
// A flat edge (D > H) needs no division per row: once its error is below H,
// the run on the next row has q or q + 1 pixels, where D = qH + r, q + 1
// exactly when the error is below r -- the same n as ceil((M - e) / H), as
// D - e = qH + (r - e) with -H < r - e < H -- and the error becomes
// e + nH - D = e - r, plus H for the longer run. From the start error D / 2
// the first run is ceil(D / 2H), which q and r give too: D / 2 is
// (q / 2) H + r / 2 for even q and ((q - 1) / 2) H + (H + r) / 2 for odd q
// (r is even).

struct InsideEdge {
    std::int32_t x;
    std::int32_t error;
    std::int32_t step;      // +1 or -1
    std::int32_t twoDx;     // D
    std::int32_t twoDy;     // H
    std::int32_t whole;     // flat: q
    std::int32_t rest;      // flat: r
    std::int32_t firstRun;  // flat: the run on the first row
    bool flat;
};

// Edge from (x0, y0) down to (x1, y1), y1 > y0.
inline InsideEdge StartInsideEdge(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                  std::int32_t y1) {
    InsideEdge edge;
    edge.x = x0;
    edge.step = x1 < x0 ? -1 : 1;
    edge.twoDx = 2 * (x1 < x0 ? x0 - x1 : x1 - x0);
    edge.twoDy = 2 * (y1 - y0);
    edge.flat = edge.twoDx > edge.twoDy;
    edge.whole = 0;
    edge.rest = 0;
    edge.firstRun = 0;
    if (edge.flat) {
        edge.whole = edge.twoDx / edge.twoDy;
        edge.rest = edge.twoDx % edge.twoDy;
        edge.firstRun = (edge.whole + 1) / 2 + ((edge.whole & 1) == 0 && edge.rest > 0 ? 1 : 0);
        edge.error = edge.firstRun * edge.twoDy - edge.twoDx / 2;  // after the first row
    } else {
        edge.error = edge.twoDy / 2;
    }
    return edge;
}

// The run of a flat edge on the row it leaves, from x to the returned end.
template <bool First>
inline std::int32_t FlatStep(InsideEdge& edge) {
    std::int32_t run;
    if constexpr (First) {
        run = edge.firstRun;
    } else {
        // All ones when the run is the longer one; masks rather than
        // branches, which the run lengths would mispredict.
        const std::int32_t longer = -static_cast<std::int32_t>(edge.error < edge.rest);
        run = edge.whole - longer;
        edge.error += (edge.twoDy & longer) - edge.rest;
    }
    const std::int32_t end = edge.x + (run - 1) * edge.step;
    edge.x = end + edge.step;
    return end;
}

// A steep edge covers x alone on the row it leaves.
inline std::int32_t SteepStep(InsideEdge& edge) {
    const std::int32_t at = edge.x;
    edge.error += edge.twoDx;
    const std::int32_t moves = -static_cast<std::int32_t>(edge.error >= edge.twoDy);
    edge.error -= edge.twoDy & moves;
    edge.x += edge.step & moves;
    return at;
}

template <bool Flat, bool First>
inline std::int32_t StepEdge(InsideEdge& edge) {
    if constexpr (Flat) {
        return FlatStep<First>(edge);
    } else {
        return SteepStep(edge);
    }
}

// Pixels from..to of a row, from <= to. Up to four pixels take four stores
// (the extra ones repeat the last pixel) and no branch on the count; longer
// runs go by four pixels at a time, the last four ending on `to`.
inline void StoreInsideRun(Colour32* row, std::int32_t from, std::int32_t to, Colour32 colour) {
    const std::int32_t count = to - from + 1;
    Colour32* pixel = row + from;
    if (count <= 4) {
        const std::int32_t last = count - 1;
        pixel[0] = colour;
        pixel[last < 1 ? last : 1] = colour;
        pixel[last < 2 ? last : 2] = colour;
        pixel[last] = colour;
        return;
    }
    const Colour32 four[4] = {colour, colour, colour, colour};
    Colour32* const lastFour = row + to - 3;
    for (; pixel < lastFour; pixel += 4) std::memcpy(pixel, four, sizeof four);
    std::memcpy(lastFour, four, sizeof four);
}

// One row between edges a and b: the row between them and both edges' runs
// on it, which all touch the edges' x, as one run.
template <bool FlatA, bool FlatB, bool FirstA, bool FirstB>
inline void InsideRow(Colour32* row, InsideEdge& a, InsideEdge& b, Colour32 colour) {
    std::int32_t left = std::min(a.x, b.x);
    std::int32_t right = std::max(a.x, b.x);
    const std::int32_t endA = StepEdge<FlatA, FirstA>(a);
    const std::int32_t endB = StepEdge<FlatB, FirstB>(b);
    left = std::min(left, std::min(endA, endB));
    right = std::max(right, std::max(endA, endB));
    StoreInsideRun(row, left, right, colour);
}

// `rows` >= 1 rows from `row` down, b starting on the first of them and a
// too when FirstA; `row` ends below them.
template <bool FlatA, bool FlatB, bool FirstA>
void InsideRowsOf(Colour32*& row, std::ptrdiff_t stride, InsideEdge& a, InsideEdge& b,
                  std::int32_t rows, Colour32 colour) {
    // Local copies: the pixel stores could alias the callers' edges, which
    // would keep every field in memory across the loop.
    InsideEdge edgeA = a;
    InsideEdge edgeB = b;
    Colour32* at = row;
    InsideRow<FlatA, FlatB, FirstA, true>(at, edgeA, edgeB, colour);
    at += stride;
    for (std::int32_t k = 1; k < rows; ++k) {
        InsideRow<FlatA, FlatB, false, false>(at, edgeA, edgeB, colour);
        at += stride;
    }
    a = edgeA;
    b = edgeB;
    row = at;
}

template <bool FirstA>
void InsideRows(Colour32*& row, std::ptrdiff_t stride, InsideEdge& a, InsideEdge& b,
                std::int32_t rows, Colour32 colour) {
    if (a.flat) {
        if (b.flat) {
            InsideRowsOf<true, true, FirstA>(row, stride, a, b, rows, colour);
        } else {
            InsideRowsOf<true, false, FirstA>(row, stride, a, b, rows, colour);
        }
    } else if (b.flat) {
        InsideRowsOf<false, true, FirstA>(row, stride, a, b, rows, colour);
    } else {
        InsideRowsOf<false, false, FirstA>(row, stride, a, b, rows, colour);
    }
}

struct InsideCorner {
    std::int32_t x, y;
};

// Corners sorted top to bottom, y1 < y3, all inside the frame.
void WalkInsideTriangle(InsideCorner c1, InsideCorner c2, InsideCorner c3, const FrameView& frame,
                        Colour32 colour) {
    const std::ptrdiff_t stride = frame.rowOffsets[1];
    Colour32* row = frame.pixels + frame.rowOffsets[c1.y];
    InsideEdge a = StartInsideEdge(c1.x, c1.y, c3.x, c3.y);  // the long edge
    InsideEdge b{};
    if (c1.y < c2.y) {
        b = StartInsideEdge(c1.x, c1.y, c2.x, c2.y);  // top to middle
        InsideRows<true>(row, stride, a, b, c2.y - c1.y, colour);
        if (c2.y < c3.y) {
            b = StartInsideEdge(c2.x, c2.y, c3.x, c3.y);  // middle to bottom
            InsideRows<false>(row, stride, a, b, c3.y - c2.y, colour);
        }
    } else {
        b = StartInsideEdge(c2.x, c2.y, c3.x, c3.y);  // flat top: middle to bottom
        InsideRows<true>(row, stride, a, b, c3.y - c2.y, colour);
    }
    // The bottom row: from both edges to the bottom corner, and on a flat
    // bottom also between the middle and the bottom corner.
    std::int32_t from = std::min({a.x, b.x, c3.x});
    std::int32_t to = std::max({a.x, b.x, c3.x});
    if (c2.y == c3.y) {
        from = std::min(from, c2.x);
        to = std::max(to, c2.x);
    }
    StoreInsideRun(row, from, to, colour);
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
    // The walk inside the frame works in 32-bit integers, which hold for
    // any frame up to 2^29 pixels on a side.
    constexpr std::int64_t NarrowLimit = std::int64_t{1} << 29;
    const bool inside = !clipped && target.frame.width <= NarrowLimit &&
                        target.frame.height <= NarrowLimit;
    if (c1.y == c3.y) {
        if (c1.y >= 0 && c1.y < target.frame.height) {
            FillRow<true>(target, c1.y, left, right);
        }
    } else if (inside) {
        WalkInsideTriangle({static_cast<std::int32_t>(c1.x), static_cast<std::int32_t>(c1.y)},
                           {static_cast<std::int32_t>(c2.x), static_cast<std::int32_t>(c2.y)},
                           {static_cast<std::int32_t>(c3.x), static_cast<std::int32_t>(c3.y)},
                           target.frame, target.colour);
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
