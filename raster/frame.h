#pragma once
// The frame every picture is drawn into: a block of 32-bit pixels whose rows
// are reached through a table of row offsets, so the pitch may exceed the width.
// The platform hands over FrameMemory; a show's FrameTarget takes it in at
// BeginFrame and gives the drawing code a FrameView. Runs without a display
// hand over plain memory of packed rows (ClearPackedFrame).
#include <cstdint>

#include "raster/colour.h"

inline constexpr std::int32_t ScreenWidth = 800;
inline constexpr std::int32_t ScreenHeight = 600;
inline constexpr std::int32_t FramePixelCount = ScreenWidth * ScreenHeight;

// Rows 0..1200 have an entry; only rows below the frame height are drawn.
inline constexpr int RowOffsetCount = 1201;

// What drawing code receives. Pixel (x, y) is pixels[rowOffsets[y] + x];
// one row down is rowOffsets[1] pixels. Primitives clip to width x height.
struct FrameView {
    Colour32* pixels = nullptr;  // pixel (0, 0)
    std::int32_t pitch = 0;      // bytes from one row to the next
    std::int32_t width = ScreenWidth;
    std::int32_t height = ScreenHeight;
    const std::int32_t* rowOffsets = nullptr;  // in pixels, at least height entries
};

// Memory handed over by the platform for one frame, already cleared to black.
// It has no row table yet, so nothing can be drawn into it before BeginFrame.
struct FrameMemory {
    Colour32* pixels = nullptr;
    std::int32_t pitch = 0;  // bytes
};

// The frame a show draws into: the memory of the frame under way and the row
// table built for its pitch. PixelBase is valid between BeginFrame and EndFrame.
struct FrameTarget {
    Colour32* PixelBase = nullptr;
    std::int32_t RowOffsets[RowOffsetCount] = {};
    bool RowOffsetsPending = true;
    // The pitch RowOffsets was built for; rows are addressed through the table,
    // so it must follow the memory whenever the platform reports another pitch.
    std::int32_t RowOffsetsPitch = 0;
};

// Fills table[0..count) with y * (pitch / 4).
void BuildRowOffsets(std::int32_t* table, int count, std::int32_t pitch);

// Takes the cleared memory of a new frame into target: sets PixelBase and
// builds the row table on the first frame and again whenever the pitch
// differs from the pitch the table was built for. Returns the frame's view.
FrameView BeginFrame(FrameTarget& target, FrameMemory memory);

// Ends the frame; nothing may be drawn through the view afterwards.
void EndFrame(FrameTarget& target);

// Clears the 800 x 600 pixels of the memory to black, in ordinary stores, so
// that the frame stays in the cache for the drawing that follows.
void ClearFrameMemory(FrameMemory memory);

// The frame memory of runs without a display: FramePixelCount pixels of plain
// memory (1.9 MB: the heap or static storage, never the stack) taken as
// 800 x 600 with packed rows, a pitch of 3200 bytes. Clears them to black and
// hands them out as frame memory.
FrameMemory ClearPackedFrame(Colour32* pixels);
