#pragma once
// Raster primitives: spans, lines, rectangle outlines and shaded discs. Every
// primitive overwrites the pixels it covers with a plain store and clips to
// the frame: pixels outside it are skipped, pixels inside are exactly those
// the unclipped algorithm would write.
#include <cstdint>

#include "raster/colour.h"
#include "raster/frame.h"

// Address of pixel (x, y); the caller keeps (x, y) inside the frame.
Colour32* PixelAddress(std::int32_t x, std::int32_t y, const FrameView& frame);

void PutPixel(std::int32_t x, std::int32_t y, const FrameView& frame, Colour32 colour);

// Row y from min(x1, x2) to max(x1, x2), both ends included.
void HorizontalSpan(std::int32_t x1, std::int32_t y, std::int32_t x2, const FrameView& frame,
                    Colour32 colour);

// Column x from min(y1, y2) to max(y1, y2), both ends included.
void VerticalSpan(std::int32_t x, std::int32_t y1, std::int32_t y2, const FrameView& frame, Colour32 colour);

// Bresenham line, both ends included; a line and its reverse cover the same pixels.
void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const FrameView& frame,
              Colour32 colour);

// Outline of the rectangle with corners (x1, y1) and (x2, y2).
void DrawRectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const FrameView& frame,
                   Colour32 colour);

// Filled disc of radius r whose colour falls off linearly to about 29% at the rim.
void ShadedDisc(std::int32_t cx, std::int32_t cy, std::int32_t r, const FrameView& frame, Colour32 colour);

// Number of primitive calls so far that had to clip something. The show never
// hands a primitive a coordinate outside the frame, so this stays 0 there.
std::uint64_t ClippedDrawCount();
void ResetClippedDrawCount();
