#include "raster/polyfill.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "raster/clip.h"
#include "raster/processor.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#endif

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
template <bool Flat>
inline std::int64_t Advance(Edge& edge) {
    if constexpr (Flat) {
        // n = ceil((M - e) / H) pixels on this row: the first n with e + nH >= M.
        const std::int64_t run = (edge.modulus - edge.error + edge.twoDy - 1) / edge.twoDy;
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

// Row y from `from` to `to`, cut to the frame's columns; y is inside the frame.
inline void FillRow(const Target& target, std::int64_t y, std::int64_t from, std::int64_t to) {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, target.frame.width - 1);
    if (from > to) {
        return;
    }
    StoreRun(target.frame.pixels + target.frame.rowOffsets[y], from, to, target.colour);
}

// Rows [from, to) between the two edges, which stand on row `from`. The row
// between the edges and the runs of both edges on it all touch the edges'
// x, so together they are one run from the leftmost to the rightmost.
template <bool FlatA, bool FlatB>
void WalkRowsOf(const Target& target, Edge& a, Edge& b, std::int64_t from, std::int64_t to) {
    for (std::int64_t y = from; y < to; ++y) {
        std::int64_t left = std::min(a.x, b.x);
        std::int64_t right = std::max(a.x, b.x);
        const std::int64_t endA = Advance<FlatA>(a);
        const std::int64_t endB = Advance<FlatB>(b);
        left = std::min(left, std::min(endA, endB));
        right = std::max(right, std::max(endA, endB));
        FillRow(target, y, left, right);
    }
}

// Rows [from, to) of a section, cut to the frame's rows; the edges are first
// moved past the rows hidden above it. The kind of each edge is settled once
// per section, not once per row.
void WalkRows(const Target& target, Edge& a, Edge& b, std::int64_t from, std::int64_t to) {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, target.frame.height);
    SkipTo(a, from);
    SkipTo(b, from);
    if (from >= to) {
        return;
    }
    if (a.flat) {
        if (b.flat) {
            WalkRowsOf<true, true>(target, a, b, from, to);
        } else {
            WalkRowsOf<true, false>(target, a, b, from, to);
        }
    } else if (b.flat) {
        WalkRowsOf<false, true>(target, a, b, from, to);
    } else {
        WalkRowsOf<false, false>(target, a, b, from, to);
    }
    a.row = to;
    b.row = to;
}

struct Corner {
    std::int64_t x, y;
};

// Corners sorted top to bottom. Only the rows and columns inside the frame
// are written, and edges are moved past hidden rows in one step.
void WalkTriangle(const Corner& c1, const Corner& c2, const Corner& c3, const Target& target) {
    const std::int64_t height = target.frame.height;
    Edge a = StartEdge(c1.x, c1.y, c3.x, c3.y);  // the long edge, top to bottom
    Edge b = StartEdge(c1.x, c1.y, c2.x, c2.y);  // top to middle
    if (c1.y < c2.y) {
        WalkRows(target, a, b, c1.y, c2.y);
        if (c2.y >= height) {
            return;
        }
    }
    if (c2.y < c3.y) {
        b = StartEdge(c2.x, c2.y, c3.x, c3.y);  // middle to bottom
        WalkRows(target, a, b, c2.y, c3.y);
    }
    if (c3.y < 0 || c3.y >= height) {
        return;
    }
    SkipTo(a, c3.y);
    SkipTo(b, c3.y);
    // The bottom row: from both edges to the bottom corner, and on a flat
    // bottom also between the middle and the bottom corner.
    std::int64_t from = std::min({a.x, b.x, c3.x});
    std::int64_t to = std::max({a.x, b.x, c3.x});
    if (c2.y == c3.y) {
        from = std::min(from, c2.x);
        to = std::max(to, c2.x);
    }
    FillRow(target, c3.y, from, to);
}

// ---- triangles inside the frame ---------------------------------------------
//
// The same walk for triangles known to lie inside a frame of at most
// InsideLimit pixels on a side, with each edge's x on every row read from a
// fixed-point position (32 fraction bits) that advances by one addition per
// row: landscape triangles cover a few pixels on each of a dozen rows, so
// the row's arithmetic is most of their cost.
//
// The positions are exactly those of the error terms. With a = |dx| and
// b = dy of an edge (H = 2b, D = 2a, e starting at M / 2), after j rows
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

constexpr std::int32_t InsideLimit = 1024;

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

constexpr Reciprocals TwiceReciprocal = MakeReciprocals();

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
inline InsideEdge StartInsideEdge(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                  std::int32_t y1) {
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

// x in the width of an address offset, so that it indexes a row unconverted.
inline std::ptrdiff_t Whole(std::int64_t position) {
    return static_cast<std::ptrdiff_t>(position >> 32);
}

inline std::ptrdiff_t RunStart(const InsideEdge& edge) {
    return std::max(Whole(edge.low), edge.least);
}

inline std::ptrdiff_t RunEnd(const InsideEdge& edge) {
    return std::min(Whole(edge.high), edge.most);
}

inline void MoveDown(InsideEdge& edge, std::int32_t rows) {
    edge.low += rows * edge.step;
    edge.high += rows * edge.step;
}

// Pixels from..to of a row, from <= to. Up to four pixels take four stores
// (the extra ones repeat the last pixel) and no branch on the count; up to
// sixteen take four blocks of four, overlapping as the count needs, again
// without a branch; longer runs go by four pixels at a time, the last four
// ending on `to`.
inline void StoreInsideRun(Colour32* row, std::ptrdiff_t from, std::ptrdiff_t to,
                           Colour32 colour) {
    const std::ptrdiff_t count = to - from + 1;
    Colour32* pixel = row + from;
    if (count <= 4) [[likely]] {
        const std::ptrdiff_t last = count - 1;
        pixel[0] = colour;
        pixel[last >> 1] = colour;
        pixel[(last + 1) >> 1] = colour;
        pixel[last] = colour;
        return;
    }
    const Colour32 four[4] = {colour, colour, colour, colour};
    Colour32* const lastFour = row + to - 3;
    if (count <= 16) {
        std::memcpy(pixel, four, sizeof four);
        std::memcpy(std::min(pixel + 4, lastFour), four, sizeof four);
        std::memcpy(std::min(pixel + 8, lastFour), four, sizeof four);
        std::memcpy(lastFour, four, sizeof four);
        return;
    }
    for (; pixel < lastFour; pixel += 4) std::memcpy(pixel, four, sizeof four);
    std::memcpy(lastFour, four, sizeof four);
}

// Edges a (the long one) and b as the left and the right one.
template <bool LongEdgeLeft>
struct Sides {
    InsideEdge& left;
    InsideEdge& right;
    Sides(InsideEdge& a, InsideEdge& b) : left(LongEdgeLeft ? a : b), right(LongEdgeLeft ? b : a) {}
};

// `rows` rows from `row` down, each strictly between the corners of both
// edges: from the start of the left edge's run to the end of the right
// edge's, so the row between the edges and both runs are one run. Edges
// that do not cross keep their order on every row, and so do their runs,
// since each edge's x on a row is its exact x there rounded one way or the
// other. `row` and the edges end on the row below them. Inlined into each
// case of the walk, so that the positions stay in registers across the
// pixel stores rather than going through memory the stores might alias.
template <bool LongEdgeLeft>
[[gnu::always_inline]] inline void InsideRows(Colour32*& row, std::ptrdiff_t stride,
                                              InsideEdge& a, InsideEdge& b, std::int32_t rows,
                                              Colour32 colour) {
    const Sides<LongEdgeLeft> sides(a, b);
    std::int64_t low = sides.left.low;
    std::int64_t high = sides.right.high;
    const std::int64_t lowStep = sides.left.step;
    const std::int64_t highStep = sides.right.step;
    Colour32* const end = row + rows * stride;
    for (; row != end; row += stride) {
        StoreInsideRun(row, Whole(low), Whole(high), colour);
        low += lowStep;
        high += highStep;
    }
    MoveDown(a, rows);
    MoveDown(b, rows);
}

// A row where either edge may start or end: the run from the left edge's
// start to the right edge's end, each stopped at its corner.
template <bool LongEdgeLeft>
inline void StoreCornerRow(Colour32* row, InsideEdge& a, InsideEdge& b, Colour32 colour) {
    const Sides<LongEdgeLeft> sides(a, b);
    StoreInsideRun(row, RunStart(sides.left), RunEnd(sides.right), colour);
}

struct InsideCorner {
    std::int32_t x, y;
};

// Top, middle and bottom corner; corners on one row keep their order.
template <typename C>
inline void SortCorners(C& c1, C& c2, C& c3) {
    if (c2.y < c1.y) std::swap(c1, c2);
    if (c3.y < c1.y) std::swap(c1, c3);
    if (c3.y < c2.y) std::swap(c2, c3);
}

// The edge from the top corner to the middle one, or with a flat top the
// one from the middle corner to the bottom; c1.y < c3.y.
inline InsideEdge StartUpperEdge(InsideCorner c1, InsideCorner c2, InsideCorner c3) {
    return c1.y < c2.y ? StartInsideEdge(c1.x, c1.y, c2.x, c2.y)
                       : StartInsideEdge(c2.x, c2.y, c3.x, c3.y);
}

// The rows of a triangle whose long edge, from the top to the bottom corner,
// lies left of the middle corner or not; c1.y < c3.y. The other side is the
// edge from the top to the middle corner and the one from there to the
// bottom; with a flat top or bottom it is one edge.
template <bool LongEdgeLeft>
void FillInsideSided(InsideCorner c1, InsideCorner c2, InsideCorner c3, Colour32* row,
                     std::ptrdiff_t stride, Colour32 colour) {
    InsideEdge a = StartInsideEdge(c1.x, c1.y, c3.x, c3.y);
    const bool twoParts = c1.y < c2.y && c2.y < c3.y;
    InsideEdge b = StartUpperEdge(c1, c2, c3);
    StoreCornerRow<LongEdgeLeft>(row, a, b, colour);
    row += stride;
    MoveDown(a, 1);
    MoveDown(b, 1);
    if (twoParts) {
        InsideRows<LongEdgeLeft>(row, stride, a, b, c2.y - c1.y - 1, colour);
        // On the middle corner's row the lower edge starts at that corner,
        // and the long edge's run may reach past it either way.
        b = StartInsideEdge(c2.x, c2.y, c3.x, c3.y);
        StoreInsideRun(row, std::min(RunStart(a), RunStart(b)), std::max(RunEnd(a), RunEnd(b)),
                       colour);
        row += stride;
        MoveDown(a, 1);
        MoveDown(b, 1);
        InsideRows<LongEdgeLeft>(row, stride, a, b, c3.y - c2.y - 1, colour);
    } else {
        InsideRows<LongEdgeLeft>(row, stride, a, b, c3.y - c1.y - 1, colour);
    }
    StoreCornerRow<LongEdgeLeft>(row, a, b, colour);
}

// A triangle whose corners lie inside a frame of at most InsideLimit pixels
// on a side, row by row.
void FillInsideByRows(InsideCorner c1, InsideCorner c2, InsideCorner c3, const FrameView& frame,
                      Colour32 colour) {
    SortCorners(c1, c2, c3);
    Colour32* row = frame.pixels + frame.rowOffsets[c1.y];
    if (c1.y == c3.y) {
        StoreInsideRun(row, std::min({c1.x, c2.x, c3.x}), std::max({c1.x, c2.x, c3.x}), colour);
        return;
    }
    // Which side the long edge lies on settles which edge's run starts each
    // row and which one's ends it. With the corners on one line both sides
    // walk the same line, and from the row below the middle corner on their
    // runs are the same.
    const bool longEdgeLeft = (c2.x - c1.x) * (c3.y - c1.y) > (c2.y - c1.y) * (c3.x - c1.x);
    const std::ptrdiff_t stride = frame.rowOffsets[1];
    if (longEdgeLeft) {
        FillInsideSided<true>(c1, c2, c3, row, stride, colour);
    } else {
        FillInsideSided<false>(c1, c2, c3, row, stride, colour);
    }
}

// ---- the same triangles eight rows at a time ---------------------------------
//
// Where the processor has AVX-512, the rows of a triangle inside the frame
// are worked out eight at a time, one row in each lane of a vector, and
// each row's run is one store of sixteen pixels under a mask of its length.
// A landscape triangle is about fifteen rows of one to twelve pixels, and
// row by row its cost was mostly in mispredicted branches: on which side
// the long edge lies, whether there is a middle corner, where each section
// of rows ends and how long each run is. Here a triangle, whatever its
// shape, is one loop of a round per eight rows: one to three rounds for a
// landscape triangle.
//
// Every row takes the same formula: the run from the leftmost start to the
// rightmost end of the runs of the long edge and of the other side's edge
// on that row (the upper one above the middle corner, the lower one from
// its row on), each run stopped at its edge's columns. On the rows between
// corners the stops change nothing and the left edge's run starts first
// and the right one's ends last, so this is the row-by-row walk's run on
// every row, corner rows included. The lower edge's positions are carried
// back to the top corner's row, exactly, by whole steps, so that all three
// edges move on together; its lanes are not used above the middle corner.
// Lanes past the bottom corner store nothing.
#if defined(__i386__) || defined(__x86_64__)
#define DX_EIGHT_ROWS [[gnu::target("avx512f,avx512dq")]]

using RowLanes = long long __attribute__((vector_size(64)));  // a value for each of eight rows

constexpr RowLanes FirstEightRows = {0, 1, 2, 3, 4, 5, 6, 7};

// An edge on eight rows: its runs' two positions (times 2^32, as in
// InsideEdge) on each, and its columns.
struct EdgeOnRows {
    RowLanes low, high;
    RowLanes eightSteps;
    RowLanes least, most;
};

DX_EIGHT_ROWS inline RowLanes Smaller(RowLanes a, RowLanes b) { return a < b ? a : b; }
DX_EIGHT_ROWS inline RowLanes Larger(RowLanes a, RowLanes b) { return a > b ? a : b; }

// `edge` stands on row `startRow` of the triangle, counted from its top
// corner; the lanes take rows 0 to 7.
DX_EIGHT_ROWS inline EdgeOnRows EdgeOnFirstRows(const InsideEdge& edge, std::int64_t startRow) {
    const RowLanes moves = (FirstEightRows - startRow) * edge.step;
    return {edge.low + moves, edge.high + moves, RowLanes{} + 8 * edge.step,
            RowLanes{} + edge.least, RowLanes{} + edge.most};
}

DX_EIGHT_ROWS inline RowLanes RunStarts(const EdgeOnRows& edge) {
    return Larger(edge.low >> 32, edge.least);
}

DX_EIGHT_ROWS inline RowLanes RunEnds(const EdgeOnRows& edge) {
    return Smaller(edge.high >> 32, edge.most);
}

DX_EIGHT_ROWS inline void MoveDownEight(EdgeOnRows& edge) {
    edge.low += edge.eightSteps;
    edge.high += edge.eightSteps;
}

// `count` pixels from `at` on, sixteen at a time, the last up to sixteen
// under a mask.
DX_EIGHT_ROWS void StoreRun(Colour32* at, long long count, __m512i colours) {
    for (; count > 16; at += 16, count -= 16) _mm512_storeu_si512(at, colours);
    _mm512_mask_storeu_epi32(at, static_cast<__mmask16>((1u << count) - 1), colours);
}

DX_EIGHT_ROWS void FillInsideByEights(InsideCorner c1, InsideCorner c2, InsideCorner c3,
                                      const FrameView& frame, Colour32 colour) {
    SortCorners(c1, c2, c3);
    Colour32* const top = frame.pixels + frame.rowOffsets[c1.y];
    const __m512i colours = _mm512_set1_epi32(static_cast<int>(colour));
    if (c1.y == c3.y) {
        const std::int32_t from = std::min({c1.x, c2.x, c3.x});
        StoreRun(top + from, std::max({c1.x, c2.x, c3.x}) - from + 1, colours);
        return;
    }
    // With a flat top or bottom the other side is one edge all the way.
    const std::int64_t middle = c2.y - c1.y;
    const std::int64_t last = c3.y - c1.y;
    EdgeOnRows a = EdgeOnFirstRows(StartInsideEdge(c1.x, c1.y, c3.x, c3.y), 0);
    EdgeOnRows upper = EdgeOnFirstRows(StartUpperEdge(c1, c2, c3), 0);
    EdgeOnRows lower =
        c2.y < c3.y ? EdgeOnFirstRows(StartInsideEdge(c2.x, c2.y, c3.x, c3.y), middle) : upper;
    const std::ptrdiff_t stride = frame.rowOffsets[1];
    RowLanes rows = FirstEightRows;
    RowLanes rowStarts = FirstEightRows * stride;
    for (std::int64_t first = 0; first <= last; first += 8) {
        const RowLanes onLower = rows >= middle;
        const RowLanes from = Smaller(RunStarts(a), onLower ? RunStarts(lower) : RunStarts(upper));
        const RowLanes to = Larger(RunEnds(a), onLower ? RunEnds(lower) : RunEnds(upper));
        const RowLanes inside = rows <= last;
        const RowLanes counts = inside ? to - from + 1 : RowLanes{};
        const RowLanes offsets = inside ? rowStarts + from : RowLanes{};
        const RowLanes masks = ((RowLanes{} + 1) << Smaller(counts, RowLanes{} + 16)) - 1;
        for (int lane = 0; lane < 8; ++lane) {
            _mm512_mask_storeu_epi32(top + offsets[lane], static_cast<__mmask16>(masks[lane]),
                                     colours);
        }
        // Runs longer than sixteen pixels go on past the masks' end.
        if (_mm512_cmpgt_epi64_mask(__m512i(counts), _mm512_set1_epi64(16)) != 0) [[unlikely]] {
            for (int lane = 0; lane < 8; ++lane) {
                if (counts[lane] > 16) {
                    StoreRun(top + offsets[lane] + 16, counts[lane] - 16, colours);
                }
            }
        }
        rows += 8;
        rowStarts += 8 * stride;
        MoveDownEight(a);
        MoveDownEight(upper);
        MoveDownEight(lower);
    }
}
#undef DX_EIGHT_ROWS

bool EightRowWalk = ProcessorHasAvx512();
#else
void FillInsideByEights(InsideCorner c1, InsideCorner c2, InsideCorner c3, const FrameView& frame,
                        Colour32 colour) {
    FillInsideByRows(c1, c2, c3, frame, colour);
}
bool EightRowWalk = false;
#endif

// One triangle inside the frame, eight rows at a time where the processor
// can.
void FillInside(InsideCorner c1, InsideCorner c2, InsideCorner c3, const FrameView& frame,
                Colour32 colour) {
    if (EightRowWalk) {
        FillInsideByEights(c1, c2, c3, frame, colour);
    } else {
        FillInsideByRows(c1, c2, c3, frame, colour);
    }
}

// A face's two triangles inside the frame, the walk chosen once for both:
// row by row, that is fewer instructions than choosing it for each.
void FillInsideFace(InsideCorner p1, InsideCorner p2, InsideCorner p3, InsideCorner p4,
                    const FrameView& frame, Colour32 colour) {
    if (EightRowWalk) {
        FillInsideByEights(p1, p2, p3, frame, colour);
        FillInsideByEights(p4, p3, p2, frame, colour);
    } else {
        FillInsideByRows(p1, p2, p3, frame, colour);
        FillInsideByRows(p4, p3, p2, frame, colour);
    }
}

bool FrameTakesInsideWalk(const FrameView& frame) {
    return frame.width <= InsideLimit && frame.height <= InsideLimit;
}

bool InsideFrame(std::int32_t x, std::int32_t y, const FrameView& frame) {
    // Unsigned comparisons: a negative coordinate is taken as a huge one.
    return static_cast<std::uint32_t>(x) < static_cast<std::uint32_t>(frame.width) &&
           static_cast<std::uint32_t>(y) < static_cast<std::uint32_t>(frame.height);
}

// Returns whether the triangle reached outside the frame.
bool FillTriangleClipped(Corner c1, Corner c2, Corner c3, const Target& target) {
    SortCorners(c1, c2, c3);
    const std::int64_t left = std::min({c1.x, c2.x, c3.x});
    const std::int64_t right = std::max({c1.x, c2.x, c3.x});
    // Every corner is drawn and nothing outside their bounding box is.
    const bool clipped = left < 0 || right >= target.frame.width || c1.y < 0 ||
                         c3.y >= target.frame.height;
    if (c1.y == c3.y) {
        if (c1.y >= 0 && c1.y < target.frame.height) {
            FillRow(target, c1.y, left, right);
        }
    } else if (!clipped && FrameTakesInsideWalk(target.frame)) {
        FillInside({static_cast<std::int32_t>(c1.x), static_cast<std::int32_t>(c1.y)},
                   {static_cast<std::int32_t>(c2.x), static_cast<std::int32_t>(c2.y)},
                   {static_cast<std::int32_t>(c3.x), static_cast<std::int32_t>(c3.y)},
                   target.frame, target.colour);
    } else {
        WalkTriangle(c1, c2, c3, target);
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
    // A face wholly inside the frame (the landscape's every cell) is checked
    // once for both its triangles.
    if (FrameTakesInsideWalk(frame) && InsideFrame(x1, y1, frame) && InsideFrame(x2, y2, frame) &&
        InsideFrame(x3, y3, frame) && InsideFrame(x4, y4, frame)) {
        FillInsideFace({x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}, frame, colour);
        return;
    }
    const Target target{frame, colour};
    bool clipped = FillTriangleClipped({x1, y1}, {x2, y2}, {x3, y3}, target);
    clipped |= FillTriangleClipped({x4, y4}, {x3, y3}, {x2, y2}, target);
    if (clipped) {
        NoteClipped();
    }
}

bool raster_detail::UseEightRowWalk(bool use) {
    const bool before = EightRowWalk;
    EightRowWalk = use && ProcessorHasAvx512();
    return before;
}
