#pragma once
// Every demo test starts from the state of a fresh program: a fresh show,
// the program's generator at its start state, the virtual platform with its
// defaults. Frames are measured by their non-black pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "raster/frame.h"
#include "raster/primitives.h"
#include "base/random.h"

class DemoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetVirtualPlatform();
        RandomSeed.store(0);
        ResetClippedDrawCount();
    }

    Show show;  // a new fixture, and so a fresh show, for every test
};

// Box of the non-black pixels of frames; empty when count is 0.
struct InkBox {
    int minX = ScreenWidth, minY = ScreenHeight, maxX = -1, maxY = -1;
    long count = 0;
};

// Widens box by the non-black pixels of frame.
inline void AddInk(InkBox& box, const Colour32* frame) {
    for (int i = 0; i < FramePixelCount; ++i) {
        if (frame[i] == 0) continue;
        const int x = i % ScreenWidth, y = i / ScreenWidth;
        box = {std::min(box.minX, x), std::min(box.minY, y), std::max(box.maxX, x), std::max(box.maxY, y),
               box.count + 1};
    }
}

inline long InkCount(const Colour32* frame) {
    return std::count_if(frame, frame + FramePixelCount, [](Colour32 p) { return p != 0; });
}
