#include "reference.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr Colour32 Guard = 0xA5C3E1F7;  // the pattern around the frame
}

GuardedFrame::GuardedFrame(std::int32_t width, std::int32_t height, std::int32_t pitchPixels,
                           std::int32_t guard)
    : memory_(std::size_t(guard) * 2 + std::size_t(pitchPixels) * std::size_t(height), Guard),
      rows_(std::max(height, RowOffsetCount)),
      guard_(guard) {
    BuildRowOffsets(rows_.data(), static_cast<int>(rows_.size()), pitchPixels * 4);
    view_ = FrameView{memory_.data() + guard, pitchPixels * 4, width, height, rows_.data()};
    Clear();
}

void GuardedFrame::Clear() {
    for (std::int32_t y = 0; y < view_.height; ++y)
        std::fill_n(view_.pixels + rows_[y], view_.width, Colour32{0});
}

bool GuardedFrame::GuardIntact() const {
    const std::int64_t pitchPixels = view_.pitch / 4;
    for (std::int64_t i = 0; i < std::int64_t(memory_.size()); ++i) {
        const std::int64_t offset = i - guard_;
        const bool inFrame =
            offset >= 0 && offset / pitchPixels < view_.height && offset % pitchPixels < view_.width;
        if (!inFrame && memory_[i] != Guard) return false;
    }
    return true;
}

PointSet GuardedFrame::Drawn() const {
    PointSet points;
    const std::vector<Colour32> all = Pixels(0, 0, view_.width, view_.height);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] != 0) points.insert({i % view_.width, i / view_.width});
    }
    return points;
}

std::vector<Colour32> GuardedFrame::Pixels(std::int64_t x0, std::int64_t y0, std::int64_t w,
                                           std::int64_t h) const {
    std::vector<Colour32> pixels;
    for (std::int64_t y = y0; y < y0 + h; ++y) {
        const Colour32* row = view_.pixels + rows_[y];
        pixels.insert(pixels.end(), row + x0, row + x0 + w);
    }
    return pixels;
}

PointSet ExactLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, std::int64_t width,
                   std::int64_t height) {
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
