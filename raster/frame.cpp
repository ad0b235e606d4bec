#include "raster/frame.h"

#include <algorithm>
#include <iterator>

Colour32* PixelBase = nullptr;
std::int32_t RowOffsets[RowOffsetCount] = {};
bool RowOffsetsPending = true;

namespace {

// The pitch RowOffsets was built for; rows are addressed through the table, so
// it must follow the memory whenever the platform reports a different pitch.
std::int32_t RowOffsetsPitch = 0;

}  // namespace

void BuildRowOffsets(std::int32_t* table, int count, std::int32_t pitch) {
    const std::int32_t pixelsPerRow = pitch / 4;
    std::int32_t offset = 0;
    for (int y = 0; y < count; ++y) {
        table[y] = offset;
        offset += pixelsPerRow;
    }
}

FrameView BeginFrame(FrameMemory memory) {
    PixelBase = memory.pixels;
    if (RowOffsetsPending || memory.pitch != RowOffsetsPitch) {
        BuildRowOffsets(RowOffsets, RowOffsetCount, memory.pitch);
        RowOffsetsPitch = memory.pitch;
        RowOffsetsPending = false;
    }
    FrameView view;
    view.pixels = PixelBase;
    view.pitch = memory.pitch;
    view.width = ScreenWidth;
    view.height = ScreenHeight;
    view.rowOffsets = RowOffsets;
    return view;
}

void EndFrame() {
    // The memory goes back to the platform, which unlocks or presents it;
    // nothing stays to be done here.
}

FrameMemory ClearMemoryFrame(MemoryFrame& frame) {
    std::fill(std::begin(frame.pixels), std::end(frame.pixels), Colour32{0});
    return FrameMemory{frame.pixels, ScreenWidth * 4};
}
