#pragma once
// Internal to the raster library: the walks behind FillTriangle. The plain
// walk takes any triangle and is the one the others must match pixel for
// pixel; the fast walks take only triangles whose corners all lie inside a
// frame of at most InsideLimit pixels on a side, which is every triangle the
// show draws.
#include <cstdint>
#include <utility>

#include "raster/colour.h"
#include "raster/frame.h"

namespace raster_detail {

struct TriangleCorner {
    std::int32_t x, y;
};

// Top, middle and bottom corner; corners on one row keep their order.
template <typename C>
inline void SortCorners(C& c1, C& c2, C& c3) {
    if (c2.y < c1.y) std::swap(c1, c2);
    if (c3.y < c1.y) std::swap(c1, c3);
    if (c3.y < c2.y) std::swap(c2, c3);
}

// The edges walked down the rows with integer error terms, every pixel an
// edge touches on a row written; corners anywhere, the pixels outside the
// frame skipped.
void WalkTrianglePlain(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, const FrameView& frame,
                       Colour32 colour);

// The fast walks: every corner inside the frame, and the frame at most
// InsideLimit pixels on a side.
constexpr std::int32_t InsideLimit = 1024;

// Each edge's x on a row read from a fixed-point position, row by row.
void WalkInsideByRows(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, const FrameView& frame,
                      Colour32 colour);

// The same positions worked out eight rows at a time in the lanes of an
// AVX-512 vector; only to be called where the processor has AVX-512 (row by
// row elsewhere).
void WalkInsideByEights(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, const FrameView& frame,
                        Colour32 colour);

}  // namespace raster_detail
