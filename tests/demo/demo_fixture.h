#pragma once
// Every demo test starts from the state of a fresh program: clock at zero,
// generator at its start state, virtual platform with its defaults.
#include <gtest/gtest.h>

#include "demo/timeline.h"
#include "demo/virtual_platform.h"
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
