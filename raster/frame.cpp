#include "raster/frame.h"

#include <cstddef>
#include <cstring>

#include "base/processor.h"

void BuildRowOffsets(std::int32_t* table, int count, std::int32_t pitch) {
    const std::int32_t pixelsPerRow = pitch / 4;
    std::int32_t offset = 0;
    for (int y = 0; y < count; ++y) {
        table[y] = offset;
        offset += pixelsPerRow;
    }
}

FrameView BeginFrame(FrameTarget& target, FrameMemory memory) {
    target.PixelBase = memory.pixels;
    if (target.RowOffsetsPending || memory.pitch != target.RowOffsetsPitch) {
        BuildRowOffsets(target.RowOffsets, RowOffsetCount, memory.pitch);
        target.RowOffsetsPitch = memory.pitch;
        target.RowOffsetsPending = false;
    }
    FrameView view;
    view.pixels = target.PixelBase;
    view.pitch = memory.pitch;
    view.width = ScreenWidth;
    view.height = ScreenHeight;
    view.rowOffsets = target.RowOffsets;
    return view;
}

void EndFrame(FrameTarget& target) {
    // The memory goes back to the platform, which unlocks or presents it.
    target.PixelBase = nullptr;
}

namespace {

// The whole frame in 16-byte stores, or 32-byte ones where the processor has
// AVX2, 32 pixels per pass. Written out rather than left to std::fill, which
// becomes the C library's memset: that clears with rep stosb, no faster on a
// frame this size, and a profiler counts each of its 1.9 million byte steps
// as an instruction, hiding what drawing costs.
template <typename Block>
[[gnu::always_inline]] inline void StoreWholeFrameIn(Colour32* pixels, const Block& block) {
    constexpr std::size_t Count = ScreenWidth * ScreenHeight;
    constexpr int PerBlock = sizeof(Block) / sizeof(Colour32);
    static_assert(Count % 32 == 0);
    Colour32* const end = pixels + Count;
    for (Colour32* p = pixels; p != end; p += 32) {
        for (int k = 0; k < 32; k += PerBlock) std::memcpy(p + k, &block, sizeof block);
    }
}

using Sixteen = std::uint32_t __attribute__((vector_size(16)));

#if defined(__i386__) || defined(__x86_64__)
using ThirtyTwo = std::uint32_t __attribute__((vector_size(32)));

// Set apart so that the rest of the program keeps to SSE2.
__attribute__((target("avx2"))) void StoreWholeFrameWide(Colour32* pixels, Colour32 colour) {
    const ThirtyTwo block = {colour, colour, colour, colour, colour, colour, colour, colour};
    StoreWholeFrameIn(pixels, block);
}
#else
void StoreWholeFrameWide(Colour32*, Colour32) {}  // not called: no AVX2 here
#endif

const bool WideStores = ProcessorHasAvx2();

void StoreWholeFrame(Colour32* pixels, Colour32 colour) {
    if (WideStores) {
        StoreWholeFrameWide(pixels, colour);
        return;
    }
    const Sixteen block = {colour, colour, colour, colour};
    StoreWholeFrameIn(pixels, block);
}

}  // namespace

void ClearFrameMemory(FrameMemory memory) {
    if (memory.pitch == ScreenWidth * 4) {
        StoreWholeFrame(memory.pixels, 0);
        return;
    }
    auto* row = reinterpret_cast<unsigned char*>(memory.pixels);
    for (int y = 0; y < ScreenHeight; ++y, row += memory.pitch) {
        std::memset(row, 0, ScreenWidth * 4);
    }
}

FrameMemory ClearPackedFrame(Colour32* pixels) {
    const FrameMemory memory{pixels, ScreenWidth * 4};
    ClearFrameMemory(memory);
    return memory;
}
