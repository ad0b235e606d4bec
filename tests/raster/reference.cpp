#include "reference.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr Colour32 GuardPattern = 0xA5C3E1F7;
}

GuardedFrame::GuardedFrame(std::int32_t width, std::int32_t height, std::int32_t pitchPixels,
                           std::int32_t guard)
    : memory_(static_cast<std::size_t>(guard) * 2 +
                  static_cast<std::size_t>(pitchPixels) * static_cast<std::size_t>(height),
              GuardPattern),
      rows_(std::max(height, RowOffsetCount)),
      guard_(guard),
      pitchPixels_(pitchPixels) {
    BuildRowOffsets(rows_.data(), static_cast<int>(rows_.size()), pitchPixels * 4);
    view_ = FrameView{memory_.data() + guard, pitchPixels * 4, width, height, rows_.data()};
    Clear();
}

void GuardedFrame::Clear() {
    for (std::int32_t y = 0; y < view_.height; ++y) {
        std::fill_n(view_.pixels + rows_[y], view_.width, Colour32{0});
    }
}

bool GuardedFrame::GuardIntact() const {
    for (std::size_t i = 0; i < memory_.size(); ++i) {
        const std::int64_t offset = static_cast<std::int64_t>(i) - guard_;
        const bool inFrame = offset >= 0 && offset / pitchPixels_ < view_.height &&
                             offset % pitchPixels_ < view_.width;
        if (!inFrame && memory_[i] != GuardPattern) return false;
    }
    return true;
}

PointSet GuardedFrame::Drawn() const {
    PointSet points;
    for (std::int64_t y = 0; y < view_.height; ++y) {
        for (std::int64_t x = 0; x < view_.width; ++x) {
            if (At(x, y) != 0) points.insert({x, y});
        }
    }
    return points;
}

std::vector<Colour32> GuardedFrame::Pixels(std::int64_t x0, std::int64_t y0, std::int64_t w,
                                           std::int64_t h) const {
    std::vector<Colour32> pixels;
    for (std::int64_t y = y0; y < y0 + h; ++y) {
        for (std::int64_t x = x0; x < x0 + w; ++x) pixels.push_back(At(x, y));
    }
    return pixels;
}

PointSet ExactLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
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
