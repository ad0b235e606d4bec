#pragma once
// Every demo test starts from the state of a fresh program: a fresh show,
// the program's generator at its start state, the virtual platform with its
// defaults.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/random.h"
#include "demo/balls.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "raster/frame.h"
#include "raster/primitives.h"

class DemoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetVirtualPlatform();
        RandomSeed.store(0);
        ResetClippedDrawCount();
    }

    Show show;  // a new fixture, and so a fresh show, for every test
};

// The arena's walls stand at 99 and 700 across, 99 and 500 down; a ball
// bouncing into a corner can reach two pixels past them for one frame.
inline bool InArena(const Ball& b) {
    return b.X - b.Radius >= 97 && b.X + b.Radius <= 702 && b.Y - b.Radius >= 97 && b.Y + b.Radius <= 502;
}

// The non-black pixels of a frame.
inline long InkCount(const Colour32* frame) {
    return std::count_if(frame, frame + FramePixelCount, [](Colour32 p) { return p != 0; });
}
