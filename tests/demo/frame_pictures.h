#pragma once
// Frames as PNG files, for looking at what a failed golden check drew: the
// frame itself, and where it differs from the frame it should have been.
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "raster/frame.h"

inline bool WriteFramePng(const std::string& path, const Colour32* pixels) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(3 * FramePixelCount);
    for (int i = 0; i < FramePixelCount; ++i) {
        rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> 16));
        rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> 8));
        rgb.push_back(static_cast<std::uint8_t>(pixels[i]));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = ScreenWidth;
    image.height = ScreenHeight;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

// The frame in an 800 x 600 PNG file; empty when there is none.
inline std::vector<Colour32> ReadFramePng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    if (!read || image.width != ScreenWidth || image.height != ScreenHeight) return {};
    std::vector<Colour32> pixels(FramePixelCount);
    for (int i = 0; i < FramePixelCount; ++i)
        pixels[i] = Colour32{rgb[3 * i]} << 16 | Colour32{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    return pixels;
}

// Every pixel that differs in red; the rest of the expected frame dimmed to a
// quarter, so that the place of the difference can be told.
inline std::vector<Colour32> FrameDifference(const Colour32* actual, const Colour32* expected) {
    std::vector<Colour32> difference(FramePixelCount);
    for (int i = 0; i < FramePixelCount; ++i)
        difference[i] = actual[i] != expected[i] ? 0xFF0000 : (expected[i] >> 2) & 0x3F3F3F;
    return difference;
}
