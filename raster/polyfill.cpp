// FillTriangle and FillQuad choose a walk: a triangle with a corner outside
// the frame takes the plain walk, which clips; one inside the frame the
// fixed-point walk, eight rows at a time where the processor has AVX-512
// and row by row elsewhere. Every walk gives the same pixels.
#include "raster/polyfill.h"

#include "base/processor.h"
#include "raster/clip.h"
#include "raster/triangle_walks.h"

using namespace raster_detail;

namespace {

bool EightRowWalk = ProcessorHasAvx512();

// A face's two triangles inside the frame, the walk chosen once for both:
// row by row, that is fewer instructions than choosing it for each. Walking
// a strictly convex face's outline as one, a run per row for both triangles,
// gives the same pixels, but its corner rows and set-up cost more than the
// shared rows save: a landscape frame took a quarter to a third longer, both
// natively and in V8, so the triangles stay apart.
void FillInsideFace(TriangleCorner p1, TriangleCorner p2, TriangleCorner p3, TriangleCorner p4,
                    const FrameView& frame, Colour32 colour) {
    if (EightRowWalk) {
        WalkInsideByEights(p1, p2, p3, frame, colour);
        WalkInsideByEights(p4, p3, p2, frame, colour);
    } else {
        WalkInsideByRows(p1, p2, p3, frame, colour);
        WalkInsideByRows(p4, p3, p2, frame, colour);
    }
}

bool FrameTakesInsideWalk(const FrameView& frame) {
    return frame.width <= InsideLimit && frame.height <= InsideLimit;
}

bool InsideFrame(TriangleCorner c, const FrameView& frame) {
    // Unsigned comparisons: a negative coordinate is taken as a huge one.
    return static_cast<std::uint32_t>(c.x) < static_cast<std::uint32_t>(frame.width) &&
           static_cast<std::uint32_t>(c.y) < static_cast<std::uint32_t>(frame.height);
}

// Returns whether the triangle reached outside the frame.
bool FillTriangleClipped(TriangleCorner c1, TriangleCorner c2, TriangleCorner c3, const FrameView& frame,
                         Colour32 colour) {
    const bool inside = InsideFrame(c1, frame) && InsideFrame(c2, frame) && InsideFrame(c3, frame);
    if (!inside || !FrameTakesInsideWalk(frame)) {
        WalkTrianglePlain(c1, c2, c3, frame, colour);
    } else if (EightRowWalk) {
        WalkInsideByEights(c1, c2, c3, frame, colour);
    } else {
        WalkInsideByRows(c1, c2, c3, frame, colour);
    }
    return !inside;
}

}  // namespace

void FillTriangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                  std::int32_t y3, const FrameView& frame, Colour32 colour) {
    if (FillTriangleClipped({x1, y1}, {x2, y2}, {x3, y3}, frame, colour)) {
        NoteClipped();
    }
}

void FillQuad(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
              std::int32_t y3, std::int32_t x4, std::int32_t y4, const FrameView& frame, Colour32 colour) {
    const TriangleCorner p1{x1, y1}, p2{x2, y2}, p3{x3, y3}, p4{x4, y4};
    // A face wholly inside the frame (the landscape's every cell) is checked
    // once for both its triangles.
    if (FrameTakesInsideWalk(frame) && InsideFrame(p1, frame) && InsideFrame(p2, frame) &&
        InsideFrame(p3, frame) && InsideFrame(p4, frame)) {
        FillInsideFace(p1, p2, p3, p4, frame, colour);
        return;
    }
    bool clipped = FillTriangleClipped(p1, p2, p3, frame, colour);
    clipped |= FillTriangleClipped(p4, p3, p2, frame, colour);
    if (clipped) {
        NoteClipped();
    }
}

bool raster_detail::UseEightRowWalk(bool use) {
    const bool before = EightRowWalk;
    EightRowWalk = use && ProcessorHasAvx512();
    return before;
}
