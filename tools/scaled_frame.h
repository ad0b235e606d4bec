#pragma once
// Frames enlarged by whole pixels (nearest neighbour: every frame pixel
// becomes a scale x scale block) for PNG files, and the same enlargement as
// 4:2:0 video samples, converted here rather than by ffmpeg so that every
// colour block of the video takes its colour from the frame pixels under it
// and from nothing around it.
#include <cstdint>
#include <vector>

#include "raster/colour.h"

struct Yuv {
    std::uint8_t Y, Cb, Cr;
};

// BT.709, limited range (Y 16..235, Cb and Cr 16..240), of the average of
// `count` pixels whose red, green and blue add up to the given sums; computed
// exactly in integers, rounded to the nearest value, halves to even.
Yuv Bt709Limited(std::int64_t redSum, std::int64_t greenSum, std::int64_t blueSum, std::int64_t count);

// out: (width x scale) x (height x scale) pixels, row after row.
void ScaleFrame(const Colour32* pixels, int width, int height, int scale, std::vector<Colour32>& out);

// out: planar yuv420p of the enlarged frame, whose sides must be even: the
// Y plane, then Cb, then Cr at half width and half height. Each chroma
// sample is the conversion of the average of the 2 x 2 enlarged pixels it
// covers, so at an even scale it is exactly that of one frame pixel.
void FrameToYuv420(const Colour32* pixels, int width, int height, int scale, std::vector<std::uint8_t>& out);
