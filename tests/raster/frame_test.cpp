#include <gtest/gtest.h>

#include <vector>

#include "raster/frame.h"
#include "raster/polychar.h"
#include "raster/polyfill.h"
#include "raster/primitives.h"
#include "reference.h"

namespace {

// A little of every primitive, each of which finds its rows its own way.
void DrawScene(const FrameView& frame) {
    DrawRectangle(99, 99, 700, 500, frame, 0xFFFFFF);
    ShadedDisc(250, 300, 60, frame, 0xFF8040);
    FillQuad(400, 200, 520, 210, 390, 330, 530, 320, frame, 0x30A050);
    FillTriangle(600, 120, 690, 480, 560, 470, frame, 0x2040FF);
    DrawLine(0, 0, 799, 599, frame, 0x808080);
    VerticalSpan(799, 0, 599, frame, 0x123456);
    DrawCentredText(550, "Hej \xC5\xE4\xF6 123!", 0xFFFF00, 20, 30, frame);
    PutPixel(799, 599, frame, 0x010203);
}

// The platform may hand over memory of another pitch on any frame: the row
// table follows every change, every primitive draws the same picture through
// it, and the clear (one sweep for packed rows, row by row otherwise) takes
// every pixel and leaves the padding between the rows alone.
TEST(Frame, EveryPitchGivesTheSamePictureAndClearsToBlack) {
    const auto packed = NewOwnedFrame();
    DrawScene(packed->view);
    const std::vector<Colour32> expected(packed->memory.pixels,
                                         packed->memory.pixels + ScreenWidth * ScreenHeight);
    for (const std::int32_t pitchPixels : {1024, 900, 800, 1024}) {
        SCOPED_TRACE(pitchPixels);
        GuardedFrame frame(ScreenWidth, ScreenHeight, pitchPixels);
        const FrameMemory memory{frame.View().pixels, frame.View().pitch};
        const FrameView view = BeginFrame(memory);
        EXPECT_EQ(view.rowOffsets, RowOffsets);
        EXPECT_EQ(RowOffsets[RowOffsetCount - 1], (RowOffsetCount - 1) * pitchPixels);
        DrawScene(view);
        EndFrame();
        EXPECT_TRUE(frame.GuardIntact());
        EXPECT_EQ(frame.Pixels(0, 0, ScreenWidth, ScreenHeight), expected);
        ClearFrameMemory(memory);
        EXPECT_TRUE(frame.Drawn().empty());
        EXPECT_TRUE(frame.GuardIntact());
    }
}

}  // namespace
