#include <gtest/gtest.h>

#include <vector>

#include "raster/frame.h"
#include "raster/polyfill.h"
#include "reference.h"

namespace {

// The platform may hand over memory of another pitch on any frame: the row
// table follows every change, and the clear (one sweep for packed rows, row
// by row otherwise) takes every pixel and leaves the padding between the rows
// alone. That every primitive finds its rows through the table the other
// tests show, as their frames all have padded rows.
TEST(Frame, RowTableFollowsEveryPitchAndTheClearKeepsToTheFrame) {
    FrameTarget target;
    for (const std::int32_t pitchPixels : {1024, 900, 800, 1024}) {
        SCOPED_TRACE(pitchPixels);
        GuardedFrame frame(ScreenWidth, ScreenHeight, pitchPixels);
        const FrameMemory memory{frame.View().pixels, frame.View().pitch};
        const FrameView view = BeginFrame(target, memory);
        EXPECT_TRUE(view.pixels == memory.pixels && view.pitch == memory.pitch);
        EXPECT_EQ(view.rowOffsets, target.RowOffsets);
        EXPECT_EQ(target.RowOffsets[RowOffsetCount - 1], (RowOffsetCount - 1) * pitchPixels);
        FillQuad(-5, -5, 900, -5, -5, 700, 900, 700, view, 0xFFFFFF);  // over the whole frame
        EndFrame(target);
        const std::vector<Colour32> white(ScreenWidth * ScreenHeight, 0xFFFFFF);
        EXPECT_EQ(frame.Pixels(0, 0, ScreenWidth, ScreenHeight), white);
        ClearFrameMemory(memory);
        EXPECT_EQ(frame.Pixels(0, 0, ScreenWidth, ScreenHeight),
                  std::vector<Colour32>(ScreenWidth * ScreenHeight, 0));
        EXPECT_TRUE(frame.GuardIntact());
    }
}

}  // namespace
