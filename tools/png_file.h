#pragma once
// PNG encoding of finished frames: 8-bit RGB, no interlace, no ancillary
// chunks (so the same frame always gives the same bytes).
#include <cstdint>
#include <memory>
#include <vector>

#include "raster/colour.h"

// One encoder per thread; it keeps its compression state and row buffer
// between frames so that encoding allocates nothing after the first frame.
struct PngEncoder;

struct PngEncoderDeleter {
    void operator()(PngEncoder* encoder) const;
};
using PngEncoderPtr = std::unique_ptr<PngEncoder, PngEncoderDeleter>;

// level: zlib compression level 0..9.
PngEncoderPtr MakePngEncoder(int level);

// Replaces out with the PNG file of the width x height pixels, rows stored
// one after another (0x00RRGGBB each).
void EncodePng(PngEncoder& encoder, const Colour32* pixels, int width, int height,
               std::vector<std::uint8_t>& out);
