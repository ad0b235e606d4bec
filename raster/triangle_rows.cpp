// Triangles inside the frame, row by row: each row's run read from the
// fixed-point positions of its left and its right edge.
#include <algorithm>
#include <cstring>

#include "raster/inside_edge.h"
#include "raster/triangle_walks.h"

namespace raster_detail {

namespace {

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
inline void StoreInsideRun(Colour32* row, std::ptrdiff_t from, std::ptrdiff_t to, Colour32 colour) {
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
    // A block of four as one vector, so that each takes one store: copied
    // from an array, WebAssembly builds made it four stores of a pixel.
    using FourPixels = Colour32 __attribute__((vector_size(16)));
    const FourPixels four = FourPixels{} + colour;
    Colour32* const lastFour = row + to - 3;
    if (count <= 16) {
        std::memcpy(pixel, &four, sizeof four);
        std::memcpy(std::min(pixel + 4, lastFour), &four, sizeof four);
        std::memcpy(std::min(pixel + 8, lastFour), &four, sizeof four);
        std::memcpy(lastFour, &four, sizeof four);
        return;
    }
    for (; pixel < lastFour; pixel += 4) std::memcpy(pixel, &four, sizeof four);
    std::memcpy(lastFour, &four, sizeof four);
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
[[gnu::always_inline]] inline void InsideRows(Colour32*& row, std::ptrdiff_t stride, InsideEdge& a,
                                              InsideEdge& b, std::int32_t rows, Colour32 colour) {
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

// The rows of a triangle whose long edge, from the top to the bottom corner,
// lies left of the middle corner or not; c1.y < c3.y. The other side is the
// edge from the top to the middle corner and the one from there to the
// bottom; with a flat top or bottom it is one edge.
template <bool LongEdgeLeft>
void FillInsideSided(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, Colour32* row,
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
        StoreInsideRun(row, std::min(RunStart(a), RunStart(b)), std::max(RunEnd(a), RunEnd(b)), colour);
        row += stride;
        MoveDown(a, 1);
        MoveDown(b, 1);
        InsideRows<LongEdgeLeft>(row, stride, a, b, c3.y - c2.y - 1, colour);
    } else {
        InsideRows<LongEdgeLeft>(row, stride, a, b, c3.y - c1.y - 1, colour);
    }
    StoreCornerRow<LongEdgeLeft>(row, a, b, colour);
}

}  // namespace

void WalkInsideByRows(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, const FrameView& frame,
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

}  // namespace raster_detail
