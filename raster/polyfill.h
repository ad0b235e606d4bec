#pragma once
// Solid triangles and four-cornered faces, walked edge by edge with integer
// error terms; every pixel an edge touches on a row is written, so triangles
// sharing an edge leave no gap. Clipped to the frame like the primitives.
#include <cstdint>

#include "raster/colour.h"
#include "raster/frame.h"

void FillTriangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                  std::int32_t y3, const FrameView& frame, Colour32 colour);

// Corners in 2 x 2 grid order (p1 and p4 opposite): FillTriangle(p1, p2, p3),
// then FillTriangle(p4, p3, p2).
void FillQuad(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
              std::int32_t y3, std::int32_t x4, std::int32_t y4, const FrameView& frame, Colour32 colour);

namespace raster_detail {
// Whether triangles inside the frame are walked eight rows at a time where
// the processor has AVX-512 (the default) or row by row; returns the
// setting before. For tests, which check both give the same pixels.
bool UseEightRowWalk(bool use);
}  // namespace raster_detail
