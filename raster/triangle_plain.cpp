// The plain triangle walk: the corners sorted top to bottom, the long edge
// from the top to the bottom corner and the short ones through the middle
// corner walked down the rows with integer error terms, and on each row the
// pixels between the edges and every pixel either edge touches there
// written. Rows and columns outside the frame are skipped; rows above it
// are passed in one step, so a corner may lie anywhere.
#include <algorithm>
#include <cstdlib>

#include "raster/clip.h"
#include "raster/triangle_walks.h"

namespace raster_detail {

namespace {

// One edge walked down the rows. On each row it covers the pixels from x
// onwards to the end of its run: a flat edge (wider than tall) moves a whole
// run of pixels per row, a steep one at most one.
struct Edge {
    std::int64_t x;
    std::int64_t row;      // the row x belongs to
    std::int64_t step;     // +1 or -1
    std::int64_t twoDx;    // D = 2 |dx|
    std::int64_t twoDy;    // H = 2 |dy|
    std::int64_t modulus;  // M = max(D, H)
    std::int64_t error;    // 0 <= error < M
    bool flat;             // D > H
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

// Moves the edge to the next row; returns the far end of the pixels it
// covers on the row it leaves (x itself for a steep edge).
std::int64_t Advance(Edge& edge) {
    ++edge.row;
    if (edge.flat) {
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
        const auto q =
            MulAddDivide(static_cast<std::uint64_t>(rows - 1), static_cast<std::uint64_t>(edge.modulus),
                         static_cast<std::uint64_t>(edge.modulus - edge.error + edge.twoDy - 1),
                         static_cast<std::uint64_t>(edge.twoDy));
        moved = q.quotient;
        edge.error = edge.twoDy - 1 - static_cast<std::int64_t>(q.remainder);
    } else {
        const auto q =
            MulAddDivide(static_cast<std::uint64_t>(rows), static_cast<std::uint64_t>(edge.twoDx),
                         static_cast<std::uint64_t>(edge.error), static_cast<std::uint64_t>(edge.modulus));
        moved = q.quotient;
        edge.error = static_cast<std::int64_t>(q.remainder);
    }
    edge.x += edge.step * static_cast<std::int64_t>(moved);
    edge.row = target;
}

// Row y from `from` to `to`, cut to the frame's columns; y is inside the frame.
void FillRow(const FrameView& frame, Colour32 colour, std::int64_t y, std::int64_t from, std::int64_t to) {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, frame.width - 1);
    if (from <= to) {
        StoreRun(frame.pixels + frame.rowOffsets[y], from, to, colour);
    }
}

// Rows [from, to) of a section, cut to the frame's rows. On each row the
// pixels between the edges and the runs of both edges all touch the edges'
// x, so together they are one run from the leftmost to the rightmost.
void WalkRows(const FrameView& frame, Colour32 colour, Edge& a, Edge& b, std::int64_t from, std::int64_t to) {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, frame.height);
    SkipTo(a, from);
    SkipTo(b, from);
    for (std::int64_t y = from; y < to; ++y) {
        const std::int64_t left = std::min(a.x, b.x);
        const std::int64_t right = std::max(a.x, b.x);
        const std::int64_t endA = Advance(a);
        const std::int64_t endB = Advance(b);
        FillRow(frame, colour, y, std::min({left, endA, endB}), std::max({right, endA, endB}));
    }
}

}  // namespace

void WalkTrianglePlain(TriangleCorner top, TriangleCorner middle, TriangleCorner bottom,
                       const FrameView& frame, Colour32 colour) {
    SortCorners(top, middle, bottom);
    const std::int64_t x1 = top.x, y1 = top.y, x2 = middle.x, y2 = middle.y;
    const std::int64_t x3 = bottom.x, y3 = bottom.y;
    if (y3 < 0 || y1 >= frame.height) {
        return;
    }
    Edge a = StartEdge(x1, y1, x3, y3);  // the long edge
    Edge b = StartEdge(x1, y1, x2, y2);  // top to middle
    if (y1 < y2) {
        WalkRows(frame, colour, a, b, y1, y2);
    }
    if (y2 < y3) {
        b = StartEdge(x2, y2, x3, y3);  // middle to bottom
        WalkRows(frame, colour, a, b, y2, y3);
    }
    if (y3 >= frame.height) {
        return;
    }
    // The bottom row: from both edges to the bottom corner, and with a flat
    // bottom also to the middle corner. With all three corners on one row
    // the edges have not moved from the top corner.
    SkipTo(a, y3);
    SkipTo(b, y3);
    std::int64_t from = std::min({a.x, b.x, x3});
    std::int64_t to = std::max({a.x, b.x, x3});
    if (y2 == y3) {
        from = std::min(from, x2);
        to = std::max(to, x2);
    }
    FillRow(frame, colour, y3, from, to);
}

}  // namespace raster_detail
