#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "raster/frame.h"
#include "raster/polychar.h"
#include "raster/polyfill.h"
#include "raster/primitives.h"
#include "reference.h"

namespace {

// Draws a little of everything, so pictures can be compared between pitches.
void DrawScene(const FrameView& frame) {
    DrawRectangle(99, 99, 700, 500, frame, 0xFFFFFF);
    ShadedDisc(250, 300, 60, frame, 0xFF8040);
    FillQuad(400, 200, 520, 210, 390, 330, 530, 320, frame, 0x30A050);
    FillTriangle(600, 120, 690, 480, 560, 470, frame, 0x2040FF);
    DrawLine(0, 0, 799, 599, frame, 0x808080);
    DrawLine(0, 599, 799, 0, frame, 0x808080);
    DrawCentredText(550, "Hej \xC5\xE4\xF6 123!", 0xFFFF00, 20, 30, frame);
    PutPixel(799, 599, frame, 0x010203);
}

// Platform memory with the given pitch, its padding and surroundings guarded.
FrameMemory Memory(const GuardedFrame& frame) {
    return FrameMemory{frame.View().pixels, frame.View().pitch};
}

// A pitch of 4096 bytes gives the 3200-byte picture, and every change of
// pitch rebuilds the row table, back and forth; each frame starts black.
TEST(Frame, RowTableFollowsEveryChangeOfPitch) {
    auto block = std::make_unique<MemoryFrame>();
    std::fill(std::begin(block->pixels), std::end(block->pixels), Colour32{0x55});
    const FrameView first = BeginFrame(ClearMemoryFrame(*block));
    EXPECT_EQ(PixelBase, block->pixels);
    EXPECT_EQ(first.pitch, 3200);
    EXPECT_EQ(first.rowOffsets, RowOffsets);
    EXPECT_EQ(RowOffsets[1200], 1200 * 800);
    EXPECT_TRUE(std::all_of(std::begin(block->pixels), std::end(block->pixels),
                            [](Colour32 p) { return p == 0; }));  // every frame starts black
    DrawScene(first);
    EndFrame();
    GuardedFrame wide(ScreenWidth, ScreenHeight, 1024);
    const FrameView view = BeginFrame(Memory(wide));
    EXPECT_EQ(RowOffsets[1], 1024);
    EXPECT_EQ(RowOffsets[1200], 1200 * 1024);
    EXPECT_EQ(PixelAddress(3, 2, view), wide.View().pixels + 2 * 1024 + 3);
    DrawScene(view);
    EndFrame();
    EXPECT_TRUE(wide.GuardIntact());
    int lit = 0;
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            ASSERT_EQ(wide.At(x, y), block->pixels[y * 800 + x]) << x << "," << y;
            lit += wide.At(x, y) != 0;
        }
    }
    EXPECT_GT(lit, 20000);

    GuardedFrame narrower(ScreenWidth, ScreenHeight, 900);
    const FrameView second = BeginFrame(Memory(narrower));
    EXPECT_EQ(second.pitch, 3600);
    EXPECT_EQ(RowOffsets[599], 599 * 900);
    DrawLine(0, 599, 799, 599, second, 0xABCDEF);
    VerticalSpan(799, 0, 599, second, 0x123456);
    EndFrame();
    EXPECT_EQ(narrower.At(0, 599), 0xABCDEFu);
    EXPECT_EQ(narrower.At(799, 598), 0x123456u);
    EXPECT_TRUE(narrower.GuardIntact());

    BeginFrame(ClearMemoryFrame(*block));
    EXPECT_EQ(RowOffsets[1], 800);
    EXPECT_EQ(block->pixels[300 * 800 + 250], 0u);  // the disc of the first frame is gone
    EndFrame();
}

// The platform's clear: whole frames in one sweep, wider rows one by one,
// never touching what lies between the rows or around the frame.
TEST(Frame, ClearTakesEveryPixelAndNothingElse) {
    for (const std::int32_t pitchPixels : {800, 1024}) {
        GuardedFrame frame(ScreenWidth, ScreenHeight, pitchPixels);
        DrawScene(frame.View());
        DrawRectangle(0, 0, 799, 599, frame.View(), 0xFFFFFF);
        ASSERT_FALSE(frame.Drawn().empty());
        ClearFrameMemory(Memory(frame));
        EXPECT_TRUE(frame.Drawn().empty()) << pitchPixels;
        EXPECT_TRUE(frame.GuardIntact()) << pitchPixels;
    }
}

}  // namespace
