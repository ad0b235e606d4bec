#pragma once
// Reading back what the capture tool wrote: whole files, and PNG pictures
// decoded by libpng, an independent reader.
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raster/colour.h"

template <typename Bytes = std::string>
Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Pixels as 0x00RRGGBB, row by row; no pixels and size 0 x 0 when the file
// is not a PNG libpng can read.
struct Picture {
    int Width = 0, Height = 0;
    std::vector<Colour32> Pixels;
    Colour32 At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// Pixels from their bytes R, G, B, row by row.
inline Picture RgbPicture(int width, int height, const std::vector<std::uint8_t>& rgb) {
    Picture picture{width, height, {}};
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        picture.Pixels.push_back(static_cast<Colour32>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]));
    return picture;
}

template <typename Bytes>
Picture DecodePng(const Bytes& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    return RgbPicture(static_cast<int>(image.width), static_cast<int>(image.height), rgb);
}
