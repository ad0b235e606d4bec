#pragma once
// Test support: frames surrounded by guard memory, and straightforward
// reference models of the drawing algorithms, written step by step from their
// definitions with no clipping and no shortcuts.
#include <cstdint>
#include <limits>
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
    static constexpr Colour32 GuardPattern = 0xA5C3E1F7;

    GuardedFrame(std::int32_t width, std::int32_t height, std::int32_t pitchPixels,
                 std::int32_t guard = 4096);

    const FrameView& View() const { return view_; }
    // Sets the frame area back to black for the next figure.
    void Clear();
    Colour32 At(std::int64_t x, std::int64_t y) const;
    // True when no pixel outside the frame area has changed.
    bool GuardIntact() const;
    // Coordinates of every pixel that is not black.
    PointSet Drawn() const;
    // The same for the window [x0, x0 + w) x [y0, y0 + h), moved so that its
    // corner is (0, 0).
    PointSet DrawnIn(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h) const;
    std::int32_t Width() const { return view_.width; }
    std::int32_t Height() const { return view_.height; }

private:
    std::vector<Colour32> memory_;
    std::vector<std::int32_t> rows_;
    std::int32_t guard_;
    std::int32_t pitchPixels_;
    FrameView view_;
};

// The points inside the window [x0, x0 + w) x [y0, y0 + h), moved so the
// window's corner is (0, 0).
PointSet Crop(const PointSet& points, std::int64_t x0, std::int64_t y0, std::int64_t w,
              std::int64_t h);

// The models below record only the pixels inside this window (the walks
// themselves are never cut short), so that huge figures stay cheap to check.
struct Window {
    std::int64_t width = std::numeric_limits<std::int64_t>::max() / 2;
    std::int64_t height = std::numeric_limits<std::int64_t>::max() / 2;
    std::int64_t x0 = -std::numeric_limits<std::int64_t>::max() / 4;
    std::int64_t y0 = -std::numeric_limits<std::int64_t>::max() / 4;
};

// The pixels of the Bresenham line with the 16.16 slope test and the error
// walks exactly as defined, endpoints included.
PointSet ReferenceLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                       Window window = {});

// The pixels of the edge-walking triangle fill, step by step as defined.
PointSet ReferenceTriangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                           std::int64_t x3, std::int64_t y3, Window window = {});
