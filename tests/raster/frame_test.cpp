#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "raster/frame.h"
#include "raster/polychar.h"
#include "raster/polyfill.h"
#include "raster/primitives.h"

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

// A platform block with the given pitch, cleared, its padding set to a pattern.
struct PlatformMemory {
    explicit PlatformMemory(std::int32_t pitchBytes)
        : pixels(static_cast<std::size_t>(pitchBytes / 4) * ScreenHeight, 0xEEEEEEEE),
          pitch(pitchBytes) {
        for (int y = 0; y < ScreenHeight; ++y) {
            std::fill_n(pixels.data() + y * (pitch / 4), ScreenWidth, Colour32{0});
        }
    }
    FrameMemory Memory() { return FrameMemory{pixels.data(), pitch}; }
    Colour32 At(int x, int y) const { return pixels[y * (pitch / 4) + x]; }
    bool PaddingIntact() const {
        for (int y = 0; y < ScreenHeight; ++y) {
            for (int x = ScreenWidth; x < pitch / 4; ++x) {
                if (At(x, y) != 0xEEEEEEEE) return false;
            }
        }
        return true;
    }
    std::vector<Colour32> pixels;
    std::int32_t pitch;
};

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
    PlatformMemory wide(4096);
    const FrameView view = BeginFrame(wide.Memory());
    EXPECT_EQ(RowOffsets[1], 1024);
    EXPECT_EQ(RowOffsets[1200], 1200 * 1024);
    EXPECT_EQ(PixelAddress(3, 2, view), wide.pixels.data() + 2 * 1024 + 3);
    DrawScene(view);
    EndFrame();
    EXPECT_TRUE(wide.PaddingIntact());
    int lit = 0;
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            ASSERT_EQ(wide.At(x, y), block->pixels[y * 800 + x]) << x << "," << y;
            lit += wide.At(x, y) != 0;
        }
    }
    EXPECT_GT(lit, 20000);

    PlatformMemory narrower(3600);
    const FrameView second = BeginFrame(narrower.Memory());
    EXPECT_EQ(second.pitch, 3600);
    EXPECT_EQ(RowOffsets[599], 599 * 900);
    DrawLine(0, 599, 799, 599, second, 0xABCDEF);
    VerticalSpan(799, 0, 599, second, 0x123456);
    EndFrame();
    EXPECT_EQ(narrower.At(0, 599), 0xABCDEFu);
    EXPECT_EQ(narrower.At(799, 598), 0x123456u);
    EXPECT_TRUE(narrower.PaddingIntact());

    BeginFrame(ClearMemoryFrame(*block));
    EXPECT_EQ(RowOffsets[1], 800);
    EXPECT_EQ(block->pixels[300 * 800 + 250], 0u);  // the disc of the first frame is gone
    EndFrame();
}

}  // namespace
