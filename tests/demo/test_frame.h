#pragma once
// Helpers shared by the demo tests: a frame of their own to draw into, and
// the bounding box of what was drawn.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "raster/frame.h"

struct TestFrame {
    std::unique_ptr<MemoryFrame> memory = std::make_unique<MemoryFrame>();
    std::int32_t rows[RowOffsetCount];
    FrameView view;

    TestFrame() {
        BuildRowOffsets(rows, RowOffsetCount, ScreenWidth * 4);
        Clear();
        view = FrameView{memory->pixels, ScreenWidth * 4, ScreenWidth, ScreenHeight, rows};
    }
    void Clear() { ClearMemoryFrame(*memory); }
    Colour32 At(int x, int y) const { return memory->pixels[y * ScreenWidth + x]; }
};

inline Colour32 PixelOf(const MemoryFrame& frame, int x, int y) {
    return frame.pixels[y * ScreenWidth + x];
}

// Box of the non-black pixels inside [x0, x1) x [y0, y1); empty when count is 0.
struct InkBox {
    int minX = ScreenWidth, minY = ScreenHeight, maxX = -1, maxY = -1;
    long count = 0;
};

inline InkBox FindInk(const MemoryFrame& frame, int x0 = 0, int y0 = 0, int x1 = ScreenWidth,
                      int y1 = ScreenHeight) {
    InkBox box;
    for (int y = y0; y < y1; ++y) {
        const Colour32* row = frame.pixels + y * ScreenWidth;
        for (int x = x0; x < x1; ++x) {
            if (row[x] == 0) continue;
            box.minX = std::min(box.minX, x);
            box.maxX = std::max(box.maxX, x);
            box.minY = std::min(box.minY, y);
            box.maxY = std::max(box.maxY, y);
            ++box.count;
        }
    }
    return box;
}

inline bool SamePicture(const MemoryFrame& a, const MemoryFrame& b) {
    return std::equal(a.pixels, a.pixels + ScreenWidth * ScreenHeight, b.pixels);
}
