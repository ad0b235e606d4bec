#pragma once
// Test support: frames surrounded by guard memory, and the exact pixels of a
// line from its closed form.
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "raster/colour.h"
#include "raster/frame.h"

using Point = std::pair<std::int64_t, std::int64_t>;  // (x, y)
using PointSet = std::set<Point>;

// A width x height frame inside a larger block: the row padding (pitch beyond
// the width) and `guard` pixels before and after are filled with a pattern
// that drawing must never touch. The frame itself starts black.
class GuardedFrame {
  public:
    GuardedFrame(std::int32_t width, std::int32_t height, std::int32_t pitchPixels,
                 std::int32_t guard = 4096);

    const FrameView& View() const { return view_; }
    void Clear();  // the frame area back to black
    // True when no pixel outside the frame area has changed.
    bool GuardIntact() const;
    // The non-black pixels of the whole frame.
    PointSet Drawn() const;
    // Every pixel of the window [x0, x0 + w) x [y0, y0 + h), row by row.
    std::vector<Colour32> Pixels(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h) const;

  private:
    std::vector<Colour32> memory_;
    std::vector<std::int32_t> rows_;
    std::int32_t guard_;
    FrameView view_;
};

// The pixels inside [0, width) x [0, height) of the line between two points.
// Along the major axis (y when |dy| > |dx|, else x), counted from the endpoint
// with the smaller coordinate, the pixel k steps on lies |minor| k / major
// from the start, rounded to the nearest with exact halves toward the start.
PointSet ExactLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, std::int64_t width,
                   std::int64_t height);
