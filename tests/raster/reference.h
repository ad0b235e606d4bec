#pragma once
// Test support: frames surrounded by guard memory, and the exact pixels of a
// line from its closed form.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
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
    GuardedFrame(std::int32_t width, std::int32_t height, std::int32_t pitchPixels, std::int32_t guard = 4096)
        : memory_(std::size_t(guard) * 2 + std::size_t(pitchPixels) * std::size_t(height), Guard),
          rows_(std::max(height, RowOffsetCount)),
          guard_(guard) {
        BuildRowOffsets(rows_.data(), static_cast<int>(rows_.size()), pitchPixels * 4);
        view_ = FrameView{memory_.data() + guard, pitchPixels * 4, width, height, rows_.data()};
        Clear();
    }

    const FrameView& View() const { return view_; }

    // The frame area back to black.
    void Clear() {
        for (std::int32_t y = 0; y < view_.height; ++y) std::fill_n(view_.pixels + rows_[y], view_.width, 0);
    }

    // True when no pixel outside the frame area has changed.
    bool GuardIntact() const {
        const std::int64_t pitchPixels = view_.pitch / 4;
        for (std::int64_t i = 0; i < std::int64_t(memory_.size()); ++i) {
            const std::int64_t offset = i - guard_;
            const bool inFrame =
                offset >= 0 && offset / pitchPixels < view_.height && offset % pitchPixels < view_.width;
            if (!inFrame && memory_[i] != Guard) return false;
        }
        return true;
    }

    // The non-black pixels of the whole frame.
    PointSet Drawn() const {
        PointSet points;
        const std::vector<Colour32> all = Pixels(0, 0, view_.width, view_.height);
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i] != 0) points.insert({i % view_.width, i / view_.width});
        }
        return points;
    }

    // Every pixel of the window [x0, x0 + w) x [y0, y0 + h), row by row.
    std::vector<Colour32> Pixels(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h) const {
        std::vector<Colour32> pixels;
        for (std::int64_t y = y0; y < y0 + h; ++y) {
            const Colour32* row = view_.pixels + rows_[y];
            pixels.insert(pixels.end(), row + x0, row + x0 + w);
        }
        return pixels;
    }

  private:
    static constexpr Colour32 Guard = 0xA5C3E1F7;  // the pattern around the frame
    std::vector<Colour32> memory_;
    std::vector<std::int32_t> rows_;
    std::int32_t guard_;
    FrameView view_;
};

// The pixels inside [0, width) x [0, height) of the line between two points.
// Along the major axis (y when |dy| > |dx|, else x), counted from the endpoint
// with the smaller coordinate, the pixel k steps on lies |minor| k / major
// from the start, rounded to the nearest with exact halves toward the start.
inline PointSet ExactLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          std::int64_t width, std::int64_t height) {
    const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
    if (steep) {  // work with x as the major axis
        std::swap(x1, y1);
        std::swap(x2, y2);
        std::swap(width, height);
    }
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const __int128 major = x2 - x1, minor = std::abs(y2 - y1);
    PointSet points;
    for (std::int64_t x = std::max<std::int64_t>(x1, 0); x <= std::min(x2, width - 1); ++x) {
        const __int128 along = minor * (x - x1);
        std::int64_t m = major == 0 ? 0 : static_cast<std::int64_t>(along / major);
        if (major != 0 && 2 * (along % major) > major) ++m;
        const std::int64_t y = y2 > y1 ? y1 + m : y1 - m;
        if (y >= 0 && y < height) points.insert(steep ? Point{y, x} : Point{x, y});
    }
    return points;
}
