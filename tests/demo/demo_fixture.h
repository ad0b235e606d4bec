#pragma once
// Every demo test starts from the state of a fresh program: clock at zero,
// generator at its start state, virtual platform with its defaults. Effects
// are drawn into a frame of the test's own, and what they drew is measured
// by the box of its non-black pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "raster/frame.h"
#include "raster/primitives.h"
#include "raster/random.h"

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTimeline();
        ResetVirtualPlatform();
        RandomSeed.store(0);
        ResetClippedDrawCount();
    }
};

inline Colour32 PixelOf(const MemoryFrame& frame, int x, int y) {
    return frame.pixels[y * ScreenWidth + x];
}

// Box of the non-black pixels inside [x0, x1) x [y0, y1); empty when count is 0.
struct InkBox {
    int minX = ScreenWidth, minY = ScreenHeight, maxX = -1, maxY = -1;
    long count = 0;
};

// Widens box by the non-black pixels of frame inside [x0, x1) x [y0, y1).
inline void AddInk(InkBox& box, const MemoryFrame& frame, int x0 = 0, int y0 = 0,
                   int x1 = ScreenWidth, int y1 = ScreenHeight) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (PixelOf(frame, x, y) == 0) continue;
            box.minX = std::min(box.minX, x);
            box.maxX = std::max(box.maxX, x);
            box.minY = std::min(box.minY, y);
            box.maxY = std::max(box.maxY, y);
            ++box.count;
        }
    }
}

inline InkBox FindInk(const MemoryFrame& frame) {
    InkBox box;
    AddInk(box, frame);
    return box;
}

inline bool SamePicture(const MemoryFrame& a, const MemoryFrame& b) {
    return std::equal(a.pixels, a.pixels + ScreenWidth * ScreenHeight, b.pixels);
}
