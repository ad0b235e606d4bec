// Triangles inside the frame, eight rows at a time, where the processor has
// AVX-512: one row in each lane of a vector, and each row's run one store of
// sixteen pixels under a mask of its length.
//
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
#include <algorithm>

#include "raster/inside_edge.h"
#include "raster/triangle_walks.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

namespace raster_detail {

namespace {

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

DX_EIGHT_ROWS inline RowLanes Smaller(RowLanes a, RowLanes b) {
    return a < b ? a : b;
}
DX_EIGHT_ROWS inline RowLanes Larger(RowLanes a, RowLanes b) {
    return a > b ? a : b;
}

// `edge` stands on row `startRow` of the triangle, counted from its top
// corner; the lanes take rows 0 to 7.
DX_EIGHT_ROWS inline EdgeOnRows EdgeOnFirstRows(const InsideEdge& edge, std::int64_t startRow) {
    const RowLanes moves = (FirstEightRows - startRow) * edge.step;
    return {edge.low + moves, edge.high + moves, RowLanes{} + 8 * edge.step, RowLanes{} + edge.least,
            RowLanes{} + edge.most};
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

}  // namespace

DX_EIGHT_ROWS void WalkInsideByEights(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3,
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
    EdgeOnRows lower = c2.y < c3.y ? EdgeOnFirstRows(StartInsideEdge(c2.x, c2.y, c3.x, c3.y), middle) : upper;
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
            _mm512_mask_storeu_epi32(top + offsets[lane], static_cast<__mmask16>(masks[lane]), colours);
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

}  // namespace raster_detail
#else
namespace raster_detail {

void WalkInsideByEights(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, const FrameView& frame,
                        Colour32 colour) {
    WalkInsideByRows(c1, c2, c3, frame, colour);
}

}  // namespace raster_detail
#endif
