#include "scaled_frame.h"

#include <algorithm>
#include <cstring>

namespace {

// BT.709's luma weights, exactly: 0.2126, 0.7152, 0.0722.
constexpr std::int64_t Kr = 2126, Kg = 7152, Kb = 722, KScale = 10000;

std::int64_t DivideRoundingHalfToEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;  // both positive here
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

// Y' = 16 + 219 (Kr R + Kg G + Kb B) / 255;
// Cb = 128 + 224 (B - Y) / (255 x 2 (1 - Kb)); Cr = 128 + 224 (R - Y) / (255 x 2 (1 - Kr)),
// with Y the unscaled luma and the sums standing for count pixels. Offsets
// go into the numerators, which keeps them positive.
std::uint8_t Luma(std::int64_t r, std::int64_t g, std::int64_t b, std::int64_t count) {
    const std::int64_t denominator = 255 * KScale * count;
    return static_cast<std::uint8_t>(
        DivideRoundingHalfToEven(16 * denominator + 219 * (Kr * r + Kg * g + Kb * b), denominator));
}

std::uint8_t BlueDifference(std::int64_t r, std::int64_t g, std::int64_t b, std::int64_t count) {
    const std::int64_t denominator = 255 * 2 * (KScale - Kb) * count;
    return static_cast<std::uint8_t>(DivideRoundingHalfToEven(
        128 * denominator + 224 * ((KScale - Kb) * b - Kr * r - Kg * g), denominator));
}

std::uint8_t RedDifference(std::int64_t r, std::int64_t g, std::int64_t b, std::int64_t count) {
    const std::int64_t denominator = 255 * 2 * (KScale - Kr) * count;
    return static_cast<std::uint8_t>(DivideRoundingHalfToEven(
        128 * denominator + 224 * ((KScale - Kr) * r - Kg * g - Kb * b), denominator));
}

std::int64_t Red(Colour32 p) {
    return p >> 16 & 0xFF;
}
std::int64_t Green(Colour32 p) {
    return p >> 8 & 0xFF;
}
std::int64_t Blue(Colour32 p) {
    return p & 0xFF;
}

// Copies each value `scale` times. Scale 2, the video's default, is spelled
// out: a fill call per pixel would cost more than the conversion.
template <typename T>
void Widen(const T* from, int width, int scale, T* to) {
    if (scale == 2) {
        for (int x = 0; x < width; ++x) to[2 * x] = to[2 * x + 1] = from[x];
        return;
    }
    for (int x = 0; x < width; ++x)
        for (int k = 0; k < scale; ++k) *to++ = from[x];
}

// One row of the Y plane per frame row, repeated `scale` times. The frames
// are mostly runs of one colour, so a run is converted once.
void LumaPlane(const Colour32* pixels, int width, int height, int scale, std::uint8_t* plane) {
    const std::size_t outWidth = static_cast<std::size_t>(width) * scale;
    std::vector<std::uint8_t> lumas(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const Colour32* row = pixels + static_cast<std::size_t>(y) * width;
        Colour32 last = ~row[0];
        std::uint8_t luma = 0;
        for (int x = 0; x < width; ++x) {
            if (row[x] != last) luma = Luma(Red(row[x]), Green(row[x]), Blue(row[x]), 1);
            last = row[x];
            lumas[x] = luma;
        }
        std::uint8_t* first = plane + static_cast<std::size_t>(y) * scale * outWidth;
        Widen(lumas.data(), width, scale, first);
        for (int copy = 1; copy < scale; ++copy) std::memcpy(first + copy * outWidth, first, outWidth);
    }
}

// Each chroma sample covers enlarged pixels (2 cx .. 2 cx + 1, 2 cy .. 2 cy + 1),
// which are the frame pixels at those coordinates divided by the scale.
void ChromaPlanes(const Colour32* pixels, int width, int height, int scale, std::uint8_t* cb,
                  std::uint8_t* cr) {
    const int chromaWidth = width * scale / 2, chromaHeight = height * scale / 2;
    std::vector<int> left(chromaWidth), right(chromaWidth);  // divisions once per frame, not per sample
    for (int cx = 0; cx < chromaWidth; ++cx) left[cx] = 2 * cx / scale, right[cx] = (2 * cx + 1) / scale;
    for (int cy = 0; cy < chromaHeight; ++cy) {
        const Colour32* top = pixels + static_cast<std::size_t>(2 * cy / scale) * width;
        const Colour32* bottom = pixels + static_cast<std::size_t>((2 * cy + 1) / scale) * width;
        Colour32 last[4] = {~top[0], 0, 0, 0};
        std::uint8_t blue = 0, red = 0;
        for (int cx = 0; cx < chromaWidth; ++cx) {
            const Colour32 four[4] = {top[left[cx]], top[right[cx]], bottom[left[cx]], bottom[right[cx]]};
            if (!std::equal(four, four + 4, last)) {
                std::int64_t r = 0, g = 0, b = 0;
                for (Colour32 p : four) r += Red(p), g += Green(p), b += Blue(p);
                blue = BlueDifference(r, g, b, 4);
                red = RedDifference(r, g, b, 4);
                std::copy(four, four + 4, last);
            }
            cb[static_cast<std::size_t>(cy) * chromaWidth + cx] = blue;
            cr[static_cast<std::size_t>(cy) * chromaWidth + cx] = red;
        }
    }
}

}  // namespace

Yuv Bt709Limited(std::int64_t redSum, std::int64_t greenSum, std::int64_t blueSum, std::int64_t count) {
    return {Luma(redSum, greenSum, blueSum, count), BlueDifference(redSum, greenSum, blueSum, count),
            RedDifference(redSum, greenSum, blueSum, count)};
}

void ScaleFrame(const Colour32* pixels, int width, int height, int scale, std::vector<Colour32>& out) {
    const std::size_t outWidth = static_cast<std::size_t>(width) * scale;
    out.resize(outWidth * height * scale);
    for (int y = 0; y < height; ++y) {
        Colour32* first = out.data() + static_cast<std::size_t>(y) * scale * outWidth;
        Widen(pixels + static_cast<std::size_t>(y) * width, width, scale, first);
        for (int copy = 1; copy < scale; ++copy) std::copy_n(first, outWidth, first + copy * outWidth);
    }
}

void FrameToYuv420(const Colour32* pixels, int width, int height, int scale, std::vector<std::uint8_t>& out) {
    const std::size_t lumaSize = static_cast<std::size_t>(width) * scale * height * scale;
    out.resize(lumaSize + lumaSize / 2);
    LumaPlane(pixels, width, height, scale, out.data());
    std::uint8_t* cb = out.data() + lumaSize;
    std::uint8_t* cr = cb + lumaSize / 4;
    ChromaPlanes(pixels, width, height, scale, cb, cr);
}
