#include "reference.h"

#include <algorithm>
#include <cstdlib>

GuardedFrame::GuardedFrame(std::int32_t width, std::int32_t height, std::int32_t pitchPixels,
                           std::int32_t guard)
    : memory_(static_cast<std::size_t>(guard) * 2 +
                  static_cast<std::size_t>(pitchPixels) * static_cast<std::size_t>(height),
              GuardPattern),
      rows_(std::max(height, RowOffsetCount)),
      guard_(guard),
      pitchPixels_(pitchPixels) {
    BuildRowOffsets(rows_.data(), static_cast<int>(rows_.size()), pitchPixels * 4);
    view_.pixels = memory_.data() + guard;
    view_.pitch = pitchPixels * 4;
    view_.width = width;
    view_.height = height;
    view_.rowOffsets = rows_.data();
    Clear();
}

void GuardedFrame::Clear() {
    for (std::int32_t y = 0; y < view_.height; ++y) {
        std::fill_n(view_.pixels + rows_[y], view_.width, Colour32{0});
    }
}

Colour32 GuardedFrame::At(std::int64_t x, std::int64_t y) const {
    return view_.pixels[rows_[y] + x];
}

bool GuardedFrame::GuardIntact() const {
    for (std::size_t i = 0; i < memory_.size(); ++i) {
        const std::int64_t offset = static_cast<std::int64_t>(i) - guard_;
        const bool inFrame = offset >= 0 && offset / pitchPixels_ < view_.height &&
                             offset % pitchPixels_ < view_.width;
        if (!inFrame && memory_[i] != GuardPattern) {
            return false;
        }
    }
    return true;
}

PointSet GuardedFrame::Drawn() const { return DrawnIn(0, 0, view_.width, view_.height); }

PointSet GuardedFrame::DrawnIn(std::int64_t x0, std::int64_t y0, std::int64_t w,
                               std::int64_t h) const {
    PointSet points;
    for (std::int64_t y = 0; y < h; ++y) {
        for (std::int64_t x = 0; x < w; ++x) {
            if (At(x0 + x, y0 + y) != 0) {
                points.insert({x, y});
            }
        }
    }
    return points;
}

PointSet Crop(const PointSet& points, std::int64_t x0, std::int64_t y0, std::int64_t w,
              std::int64_t h) {
    PointSet cropped;
    for (const auto& [x, y] : points) {
        if (x >= x0 && x < x0 + w && y >= y0 && y < y0 + h) {
            cropped.insert({x - x0, y - y0});
        }
    }
    return cropped;
}

namespace {

// Records the points of a span that lie inside the window.
struct Recorder {
    PointSet points;
    Window window;

    bool RowInside(std::int64_t y) const { return y >= window.y0 && y < window.y0 + window.height; }
    void Insert(std::int64_t x, std::int64_t y) {
        if (RowInside(y) && x >= window.x0 && x < window.x0 + window.width) {
            points.insert({x, y});
        }
    }
    void Span(std::int64_t x1, std::int64_t y, std::int64_t x2) {
        if (!RowInside(y)) return;
        const std::int64_t from = std::max(std::min(x1, x2), window.x0);
        const std::int64_t to = std::min(std::max(x1, x2), window.x0 + window.width - 1);
        for (std::int64_t x = from; x <= to; ++x) {
            points.insert({x, y});
        }
    }
};

}  // namespace

PointSet ReferenceLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                       Window window) {
    Recorder points{{}, window};
    if (y1 == y2) {
        points.Span(x1, y1, x2);
        return points.points;
    }
    if (x1 == x2) {
        for (std::int64_t y = std::min(y1, y2); y <= std::max(y1, y2); ++y) {
            points.Insert(x1, y);
        }
        return points.points;
    }
    const std::int64_t q = std::abs(y1 - y2) * 65536 / std::abs(x1 - x2);
    if (q > 65536) {
        if (y2 < y1) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const std::int64_t dy = y2 - y1;
        const std::int64_t dx = x2 - x1;
        std::int64_t x = x1;
        std::int64_t e = 0;
        points.Insert(x, y1);
        for (std::int64_t y = y1 + 1; y <= y2; ++y) {
            e += 2 * std::abs(dx);
            if (e > dy) {
                x += dx > 0 ? 1 : -1;
                e -= 2 * dy;
            }
            points.Insert(x, y);
        }
    } else {
        if (x2 < x1) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const std::int64_t dx = x2 - x1;
        const std::int64_t dy = y2 - y1;
        std::int64_t y = y1;
        std::int64_t e = 0;
        points.Insert(x1, y);
        for (std::int64_t x = x1 + 1; x <= x2; ++x) {
            e += 2 * std::abs(dy);
            if (e > dx) {
                y += dy > 0 ? 1 : -1;
                e -= 2 * dx;
            }
            points.Insert(x, y);
        }
    }
    return points.points;
}

namespace {

struct RefEdge {
    std::int64_t x = 0, s = 1, d = 0, h = 0, m = 0, e = 0;
};

void SetUpEdge(RefEdge& edge, std::int64_t xa, std::int64_t ya, std::int64_t xb,
               std::int64_t yb) {
    edge.s = xb - xa < 0 ? -1 : 1;
    edge.d = 2 * std::abs(xb - xa);
    edge.h = 2 * std::abs(yb - ya);
    edge.m = std::max(edge.d, edge.h);
    edge.e = edge.m / 2;
}

void AdvanceEdge(RefEdge& edge, std::int64_t y, Recorder& points) {
    if (edge.d > edge.h) {
        const std::int64_t n = (edge.m - edge.e) / edge.h + ((edge.m - edge.e) % edge.h > 0);
        edge.e = (edge.e + n * edge.h) % edge.m;
        points.Span(edge.x, y, edge.x + (n - 1) * edge.s);
        edge.x += n * edge.s;
    } else {
        edge.e += edge.d;
        if (edge.e >= edge.m) {
            edge.e -= edge.m;
            edge.x += edge.s;
        }
    }
}

}  // namespace

PointSet ReferenceTriangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                           std::int64_t x3, std::int64_t y3, Window window) {
    Recorder points{{}, window};
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (y3 < y1) {
        std::swap(x1, x3);
        std::swap(y1, y3);
    }
    if (y3 < y2) {
        std::swap(x2, x3);
        std::swap(y2, y3);
    }
    if (y1 == y3) {
        points.Span(x2, y2, x3);
        points.Span(x1, y1, x3);
        return points.points;
    }
    RefEdge a;
    a.x = x1;
    SetUpEdge(a, x1, y1, x3, y3);
    RefEdge b;
    b.x = x1;
    std::int64_t y = y1;
    for (;;) {
        std::int64_t yEnd;
        if (y == y2) {
            b.x = x2;
            SetUpEdge(b, x2, y2, x3, y3);
            yEnd = y3;
        } else {
            SetUpEdge(b, x1, y1, x2, y2);
            yEnd = y2;
        }
        while (y != yEnd) {
            points.Span(a.x, y, b.x);
            AdvanceEdge(a, y, points);
            AdvanceEdge(b, y, points);
            ++y;
        }
        if (y == y3) {
            break;
        }
    }
    if (y2 != y3) {
        points.Span(a.x, y3, x3);
        points.Span(b.x, y3, x3);
    } else {
        points.Span(a.x, y3, x2);
        points.Span(b.x, y3, x3);
        points.Span(x2, y3, x3);
    }
    return points.points;
}
