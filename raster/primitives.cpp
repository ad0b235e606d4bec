#include "raster/primitives.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <iterator>

#include "raster/clip.h"
#include "raster/numeric.h"

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
        const auto q = MulAddDivide(majorLength, 2 * static_cast<std::uint64_t>(lowest) - 1, 0,
                                    twoMinor);
        steps.first = std::max(steps.first, static_cast<std::int64_t>(q.quotient) + 1);
    }
    if (highest < minor.length) {
        // m(k) <= highest  <=>  k <= dM (2 highest + 1) / (2 |dm|)
        const auto q = MulAddDivide(majorLength, 2 * static_cast<std::uint64_t>(highest) + 1, 0,
                                    twoMinor);
        steps.last = std::min(steps.last, static_cast<std::int64_t>(q.quotient));
    }
    return steps;
}

// Bresenham along the major axis: one step per pixel, e grows by 2|dm| and
// the minor axis moves when e exceeds dM, so exact halves stay on the start
// side. Returns whether any pixel of the full line was skipped.
bool SlopedLine(const LineAxis& major, const LineAxis& minor, bool majorIsX,
                const FrameView& frame, Colour32 colour) {
    const bool inside = major.start >= 0 && major.start + major.length < major.frameSize &&
                        std::min(minor.start, minor.start + minor.direction * minor.length) >= 0 &&
                        std::max(minor.start, minor.start + minor.direction * minor.length) <
                            minor.frameSize;
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
        const auto q = MulAddDivide(static_cast<std::uint64_t>(twoMinor),
                                    static_cast<std::uint64_t>(steps.first),
                                    static_cast<std::uint64_t>(major.length - 1),
                                    static_cast<std::uint64_t>(twoMajor));
        offset = static_cast<std::int64_t>(q.quotient);
        error = static_cast<std::int64_t>(q.remainder) - major.length + 1;
    }
    const std::int64_t majorAt = major.start + steps.first;
    const std::int64_t minorAt = minor.start + minor.direction * offset;
    Colour32* pixel = majorIsX ? RowStart(frame, minorAt) + majorAt
                               : RowStart(frame, majorAt) + minorAt;
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

void NoteClipped() { ClippedDraws.fetch_add(1, std::memory_order_relaxed); }

bool HorizontalSpanClipped(std::int64_t x1, std::int64_t y, std::int64_t x2,
                           const FrameView& frame, Colour32 colour) {
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

bool VerticalSpanClipped(std::int64_t x, std::int64_t y1, std::int64_t y2,
                         const FrameView& frame, Colour32 colour) {
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

// One quarter-symmetric run of a shaded disc: the pixels dx = from..to of the
// rows below and above the centre (either may be absent), on the right of the
// centre column, the left, or both.
struct DiscRows {
    Colour32* below;  // row cy + dy, or null when outside the frame
    Colour32* above;  // row cy - dy, or null
    std::int64_t cx;
    std::int64_t dy;
};

struct DiscShade {
    double red, green, blue;
    double cornerDistance;  // r * sqrt(2)
};

// The colour of the disc's pixels at (dx, dy) from its centre.
inline Colour32 DiscShadeAt(const DiscShade& shade, std::int64_t dx, std::int64_t dy2) {
    const double f = 1.0 - SquareRoot(static_cast<double>(dx * dx + dy2)) / shade.cornerDistance;
    return PackColour(Round(shade.red * f), Round(shade.green * f), Round(shade.blue * f));
}

void ShadeRun(const DiscRows& rows, const DiscShade& shade, std::int64_t from, std::int64_t to,
              bool right, bool left) {
    const std::int64_t dy2 = rows.dy * rows.dy;
    for (std::int64_t dx = from; dx <= to; ++dx) {
        const Colour32 c = DiscShadeAt(shade, dx, dy2);
        if (right) {
            if (rows.below) rows.below[rows.cx + dx] = c;
            if (rows.above) rows.above[rows.cx + dx] = c;
        }
        if (left) {
            if (rows.below) rows.below[rows.cx - dx] = c;
            if (rows.above) rows.above[rows.cx - dx] = c;
        }
    }
}

// Runs dx over [rightFrom, rightTo] (right pixels inside the frame) and
// [leftFrom, leftTo] (left pixels inside) in at most three pieces, computing
// each shade once however many of its pixels are stored.
void ShadeRow(const DiscRows& rows, const DiscShade& shade, std::int64_t rightFrom,
              std::int64_t rightTo, std::int64_t leftFrom, std::int64_t leftTo) {
    std::int64_t cuts[4] = {rightFrom, rightTo + 1, leftFrom, leftTo + 1};
    std::sort(std::begin(cuts), std::end(cuts));
    for (int i = 0; i < 3; ++i) {
        const std::int64_t from = cuts[i];
        const std::int64_t to = cuts[i + 1] - 1;
        if (from > to) {
            continue;
        }
        const bool right = rightFrom <= from && from <= rightTo;
        const bool left = leftFrom <= from && from <= leftTo;
        if (right || left) {
            ShadeRun(rows, shade, from, to, right, left);
        }
    }
}

// One colour at columns -dx and dx of two rows mirrored across the centre.
inline void StoreMirrored(Colour32* below, Colour32* above, std::int64_t dx, Colour32 c) {
    below[dx] = c;
    above[dx] = c;
    below[-dx] = c;
    above[-dx] = c;
}

// Discs up to this radius have their pixels mirrored across the diagonal.
constexpr std::int64_t MirroredRadius = 511;

// Every (dx, dy) of the disc's quarter, each colour stored at its four
// mirrored pixels, from row pointers taken once per row.
void PlainInsideDisc(const FrameView& frame, std::int64_t x, std::int64_t y, std::int64_t radius,
                     double r2, const DiscShade& shade) {
    for (std::int64_t dy = 0; dy <= radius; ++dy) {
        const double t = static_cast<double>(dy) - 0.5;
        const std::int64_t halfWidth = Round64(SquareRoot(r2 - t * t));
        Colour32* const below = RowStart(frame, y + dy) + x;
        Colour32* const above = RowStart(frame, y - dy) + x;
        const std::int64_t dy2 = dy * dy;
        for (std::int64_t dx = 0; dx <= halfWidth; ++dx) {
            const Colour32 c = DiscShadeAt(shade, dx, dy2);
            StoreMirrored(below, above, dx, c);
        }
    }
}

// A disc wholly inside the frame. A pixel's shade depends on dx^2 + dy^2
// alone, so the colour of (j, i), j > i, also serves (i, j) when that is in
// the disc. Half-widths w(dy) never grow with dy (w(0) = w(1)), so the rows
// that reach column i are the first few: rows k < p(i). Row i then stores
//  - (j, i) for j from i to w(i), and with it (i, j) for j < p(i);
//  - (dx, i) for dx from p(i) below the diagonal, whose (i, dx) lies outside.
void InsideDisc(const FrameView& frame, std::int64_t x, std::int64_t y, std::int64_t radius,
                double r2, const DiscShade& shade) {
    if (radius > MirroredRadius) {
        PlainInsideDisc(frame, x, y, radius, r2, shade);
        return;
    }
    std::int64_t halfWidths[MirroredRadius + 1];
    for (std::int64_t dy = 0; dy <= radius; ++dy) {
        const double t = static_cast<double>(dy) - 0.5;
        halfWidths[dy] = Round64(SquareRoot(r2 - t * t));
    }
    const std::ptrdiff_t stride = frame.rowOffsets[1];
    std::int64_t reaching = radius + 1;  // p(i): rows 0 .. p(i) - 1 reach column i
    for (std::int64_t i = 0; i <= radius; ++i) {
        while (reaching > 0 && halfWidths[reaching - 1] < i) --reaching;
        const std::int64_t halfWidth = halfWidths[i];
        Colour32* const below = RowStart(frame, y + i) + x;
        Colour32* const above = RowStart(frame, y - i) + x;
        const std::int64_t i2 = i * i;
        // Below the diagonal, not reached from an earlier row.
        for (std::int64_t dx = reaching; dx < i && dx <= halfWidth; ++dx) {
            const Colour32 c = DiscShadeAt(shade, dx, i2);
            StoreMirrored(below, above, dx, c);
        }
        // On and beyond the diagonal; rows y + j and y - j are reached by
        // stepping a row at a time from row i.
        if (i <= halfWidth) {
            const Colour32 c = DiscShadeAt(shade, i, i2);
            StoreMirrored(below, above, i, c);
        }
        Colour32* down = below;
        Colour32* up = above;
        for (std::int64_t j = i + 1; j <= halfWidth; ++j) {
            down += stride;
            up -= stride;
            const Colour32 c = DiscShadeAt(shade, j, i2);
            StoreMirrored(below, above, j, c);
            if (j < reaching) {
                StoreMirrored(down, up, i, c);
            }
        }
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

void VerticalSpan(std::int32_t x, std::int32_t y1, std::int32_t y2, const FrameView& frame,
                  Colour32 colour) {
    CountIf(VerticalSpanClipped(x, y1, y2, frame, colour));
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              const FrameView& frame, Colour32 colour) {
    CountIf(DrawLineClipped(x1, y1, x2, y2, frame, colour));
}

void DrawRectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   const FrameView& frame, Colour32 colour) {
    bool clipped = HorizontalSpanClipped(x1, y1, x2, frame, colour);
    clipped |= HorizontalSpanClipped(x1, y2, x2, frame, colour);
    clipped |= VerticalSpanClipped(x1, y1, y2, frame, colour);
    clipped |= VerticalSpanClipped(x2, y1, y2, frame, colour);
    CountIf(clipped);
}

void ShadedDisc(std::int32_t cx, std::int32_t cy, std::int32_t r, const FrameView& frame,
                Colour32 colour) {
    if (r <= 0) {
        return;
    }
    const std::int64_t x = cx;
    const std::int64_t y = cy;
    const std::int64_t radius = r;
    const std::int64_t width = frame.width;
    const std::int64_t height = frame.height;
    // The disc covers exactly its bounding square's rows and, on its centre
    // row, its columns: it clips when that square leaves the frame.
    const bool clipped =
        x - radius < 0 || x + radius >= width || y - radius < 0 || y + radius >= height;
    CountIf(clipped);

    const double r2 = static_cast<double>(radius * radius);
    DiscShade shade;
    shade.cornerDistance = SquareRoot(2.0 * r2);
    shade.blue = static_cast<double>(colour & 0xFF);
    shade.green = static_cast<double>((colour >> 8) & 0xFF);
    shade.red = static_cast<double>(colour >> 16);
    if (!clipped) {
        InsideDisc(frame, x, y, radius, r2, shade);
        return;
    }

    // Rows cy + dy and cy - dy: the dy for which either lies inside the frame
    // form one range, and so do the dx for the columns.
    const std::int64_t firstDy = std::max<std::int64_t>(0, std::min(-y, y - (height - 1)));
    const std::int64_t lastDy = std::min(radius, std::max(height - 1 - y, y));
    const std::int64_t rightFrom = std::max<std::int64_t>(0, -x);
    const std::int64_t leftFrom = std::max<std::int64_t>(0, x - (width - 1));
    for (std::int64_t dy = firstDy; dy <= lastDy; ++dy) {
        const double t = static_cast<double>(dy) - 0.5;
        const std::int64_t halfWidth = Round64(SquareRoot(r2 - t * t));
        DiscRows rows{nullptr, nullptr, x, dy};
        if (y + dy >= 0 && y + dy < height) {
            rows.below = RowStart(frame, y + dy);
        }
        if (y - dy >= 0 && y - dy < height) {
            rows.above = RowStart(frame, y - dy);
        }
        if (dy == 0) {
            rows.above = nullptr;  // the centre row is one row
        }
        if (rows.below == nullptr && rows.above == nullptr) {
            continue;
        }
        ShadeRow(rows, shade, rightFrom, std::min(halfWidth, width - 1 - x), leftFrom,
                 std::min(halfWidth, x));
    }
}

std::uint64_t ClippedDrawCount() { return ClippedDraws.load(std::memory_order_relaxed); }

void ResetClippedDrawCount() { ClippedDraws.store(0, std::memory_order_relaxed); }
