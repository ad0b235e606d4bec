#include "raster/primitives.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>

#include "raster/clip.h"

namespace raster_detail {

namespace {

std::atomic<std::uint64_t> ClippedDraws{0};

// Pixels from one row to the next. A frame of one row never steps down, and
// its table need not have a second entry.
std::ptrdiff_t RowStride(const FrameView& frame) {
    return frame.height > 1 ? frame.rowOffsets[1] : 0;
}

Colour32* RowStart(const FrameView& frame, std::int64_t y) {
    return frame.pixels + frame.rowOffsets[y];
}

// One axis of a sloped line: where it starts, how far it runs and how large
// the frame is along it.
struct LineAxis {
    std::int64_t start;
    std::int64_t length;     // > 0
    std::int64_t direction;  // +1 or -1 (the major axis always runs forwards)
    std::int64_t frameSize;
    std::ptrdiff_t pixelStep;  // pixels between neighbours along the axis
};

// Steps k (along the major axis) whose pixel lies inside the frame along the
// minor axis. The minor offset after k steps is m(k) = ceil((2|dm| k - dM) /
// (2 dM)), the closed form of the error-term walk below, and is monotonic
// in k, so the visible steps form one range.
struct StepRange {
    std::int64_t first;
    std::int64_t last;
};

StepRange VisibleSteps(const LineAxis& major, const LineAxis& minor) {
    StepRange steps{std::max<std::int64_t>(0, -major.start),
                    std::min(major.length, major.frameSize - 1 - major.start)};
    std::int64_t lowest;   // smallest minor offset inside the frame
    std::int64_t highest;  // largest
    if (minor.direction > 0) {
        lowest = std::max<std::int64_t>(0, -minor.start);
        highest = std::min(minor.length, minor.frameSize - 1 - minor.start);
    } else {
        lowest = std::max<std::int64_t>(0, minor.start - (minor.frameSize - 1));
        highest = std::min(minor.length, minor.start);
    }
    if (lowest > highest) {
        return {1, 0};
    }
    const std::uint64_t twoMinor = 2 * static_cast<std::uint64_t>(minor.length);
    const std::uint64_t majorLength = static_cast<std::uint64_t>(major.length);
    if (lowest > 0) {
        // m(k) >= lowest  <=>  k > dM (2 lowest - 1) / (2 |dm|)
        const auto q = MulAddDivide(majorLength, 2 * static_cast<std::uint64_t>(lowest) - 1, 0, twoMinor);
        steps.first = std::max(steps.first, static_cast<std::int64_t>(q.quotient) + 1);
    }
    if (highest < minor.length) {
        // m(k) <= highest  <=>  k <= dM (2 highest + 1) / (2 |dm|)
        const auto q = MulAddDivide(majorLength, 2 * static_cast<std::uint64_t>(highest) + 1, 0, twoMinor);
        steps.last = std::min(steps.last, static_cast<std::int64_t>(q.quotient));
    }
    return steps;
}

// Bresenham along the major axis: one step per pixel, e grows by 2|dm| and
// the minor axis moves when e exceeds dM, so exact halves stay on the start
// side. Returns whether any pixel of the full line was skipped.
bool SlopedLine(const LineAxis& major, const LineAxis& minor, bool majorIsX, const FrameView& frame,
                Colour32 colour) {
    const bool inside = major.start >= 0 && major.start + major.length < major.frameSize &&
                        std::min(minor.start, minor.start + minor.direction * minor.length) >= 0 &&
                        std::max(minor.start, minor.start + minor.direction * minor.length) < minor.frameSize;
    StepRange steps{0, major.length};
    if (!inside) {
        steps = VisibleSteps(major, minor);
        if (steps.first > steps.last) {
            return true;
        }
    }
    const std::int64_t twoMajor = 2 * major.length;
    const std::int64_t twoMinor = 2 * minor.length;
    std::int64_t offset = 0;  // minor offset at the first visible step
    std::int64_t error = 0;
    if (steps.first > 0) {
        const auto q =
            MulAddDivide(static_cast<std::uint64_t>(twoMinor), static_cast<std::uint64_t>(steps.first),
                         static_cast<std::uint64_t>(major.length - 1), static_cast<std::uint64_t>(twoMajor));
        offset = static_cast<std::int64_t>(q.quotient);
        error = static_cast<std::int64_t>(q.remainder) - major.length + 1;
    }
    const std::int64_t majorAt = major.start + steps.first;
    const std::int64_t minorAt = minor.start + minor.direction * offset;
    Colour32* pixel = majorIsX ? RowStart(frame, minorAt) + majorAt : RowStart(frame, majorAt) + minorAt;
    const std::ptrdiff_t majorStep = major.pixelStep;
    const std::ptrdiff_t minorStep = minor.direction * minor.pixelStep;
    *pixel = colour;
    for (std::int64_t k = steps.first; k < steps.last; ++k) {
        pixel += majorStep;
        error += twoMinor;
        if (error > major.length) {
            pixel += minorStep;
            error -= twoMajor;
        }
        *pixel = colour;
    }
    return steps.first != 0 || steps.last != major.length;
}

}  // namespace

void NoteClipped() {
    ClippedDraws.fetch_add(1, std::memory_order_relaxed);
}

bool HorizontalSpanClipped(std::int64_t x1, std::int64_t y, std::int64_t x2, const FrameView& frame,
                           Colour32 colour) {
    std::int64_t from = std::min(x1, x2);
    std::int64_t to = std::max(x1, x2);
    if (y < 0 || y >= frame.height) {
        return true;
    }
    const bool clipped = from < 0 || to >= frame.width;
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, frame.width - 1);
    if (from <= to) {
        StoreRun(RowStart(frame, y), from, to, colour);
    }
    return clipped;
}

bool VerticalSpanClipped(std::int64_t x, std::int64_t y1, std::int64_t y2, const FrameView& frame,
                         Colour32 colour) {
    std::int64_t from = std::min(y1, y2);
    std::int64_t to = std::max(y1, y2);
    if (x < 0 || x >= frame.width) {
        return true;
    }
    const bool clipped = from < 0 || to >= frame.height;
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, frame.height - 1);
    if (from > to) {
        return clipped;
    }
    const std::ptrdiff_t stride = RowStride(frame);
    Colour32* pixel = RowStart(frame, from) + x;
    *pixel = colour;
    for (std::int64_t y = from; y < to; ++y) {
        pixel += stride;
        *pixel = colour;
    }
    return clipped;
}

bool DrawLineClipped(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                     const FrameView& frame, Colour32 colour) {
    if (y1 == y2) {
        return HorizontalSpanClipped(x1, y1, x2, frame, colour);
    }
    if (x1 == x2) {
        return VerticalSpanClipped(x1, y1, y2, frame, colour);
    }
    const std::ptrdiff_t stride = RowStride(frame);
    // y-major exactly when |dy| > |dx|; for lines shorter than 65536 pixels
    // this is the 16.16 slope test (|dy| << 16) / |dx| > 1 << 16.
    if (std::abs(y2 - y1) > std::abs(x2 - x1)) {
        if (y2 < y1) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const LineAxis major{y1, y2 - y1, 1, frame.height, stride};
        const LineAxis minor{x1, std::abs(x2 - x1), x2 < x1 ? -1 : 1, frame.width, 1};
        return SlopedLine(major, minor, false, frame, colour);
    }
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const LineAxis major{x1, x2 - x1, 1, frame.width, 1};
    const LineAxis minor{y1, std::abs(y2 - y1), y2 < y1 ? -1 : 1, frame.height, stride};
    return SlopedLine(major, minor, true, frame, colour);
}

}  // namespace raster_detail

using namespace raster_detail;

namespace {

void CountIf(bool clipped) {
    if (clipped) {
        NoteClipped();
    }
}

}  // namespace

Colour32* PixelAddress(std::int32_t x, std::int32_t y, const FrameView& frame) {
    return frame.pixels + frame.rowOffsets[y] + x;
}

void PutPixel(std::int32_t x, std::int32_t y, const FrameView& frame, Colour32 colour) {
    if (x < 0 || x >= frame.width || y < 0 || y >= frame.height) {
        NoteClipped();
        return;
    }
    *PixelAddress(x, y, frame) = colour;
}

void HorizontalSpan(std::int32_t x1, std::int32_t y, std::int32_t x2, const FrameView& frame,
                    Colour32 colour) {
    CountIf(HorizontalSpanClipped(x1, y, x2, frame, colour));
}

void VerticalSpan(std::int32_t x, std::int32_t y1, std::int32_t y2, const FrameView& frame, Colour32 colour) {
    CountIf(VerticalSpanClipped(x, y1, y2, frame, colour));
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const FrameView& frame,
              Colour32 colour) {
    CountIf(DrawLineClipped(x1, y1, x2, y2, frame, colour));
}

void DrawRectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const FrameView& frame,
                   Colour32 colour) {
    bool clipped = HorizontalSpanClipped(x1, y1, x2, frame, colour);
    clipped |= HorizontalSpanClipped(x1, y2, x2, frame, colour);
    clipped |= VerticalSpanClipped(x1, y1, y2, frame, colour);
    clipped |= VerticalSpanClipped(x2, y1, y2, frame, colour);
    CountIf(clipped);
}

std::uint64_t ClippedDrawCount() {
    return ClippedDraws.load(std::memory_order_relaxed);
}

void ResetClippedDrawCount() {
    ClippedDraws.store(0, std::memory_order_relaxed);
}
