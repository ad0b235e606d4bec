#include "png_file.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

struct PngEncoder {
    z_stream Stream{};
    std::vector<std::uint8_t> Rows;        // filter byte + RGB per row
    std::vector<std::uint8_t> Compressed;  // the IDAT data
};

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A chunk is length, type, data and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::uint8_t* data,
              std::size_t size) {
    Put32(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data, data + size);
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + size));
    Put32(out, static_cast<std::uint32_t>(crc));
}

// Every row with filter type 0 (none): the frames are mostly flat areas,
// which the compressor finds as runs without a filter's help, and the rows
// cost nothing to prepare.
void PrepareRows(std::vector<std::uint8_t>& rows, const Colour32* pixels, int width, int height) {
    const std::size_t stride = 1 + 3 * static_cast<std::size_t>(width);
    rows.resize(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows.data() + stride * static_cast<std::size_t>(y);
        const Colour32* source = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        *row++ = 0;
        for (int x = 0; x < width; ++x) {
            const Colour32 c = source[x];
            *row++ = static_cast<std::uint8_t>(c >> 16);
            *row++ = static_cast<std::uint8_t>(c >> 8);
            *row++ = static_cast<std::uint8_t>(c);
        }
    }
}

}  // namespace

void PngEncoderDeleter::operator()(PngEncoder* encoder) const {
    deflateEnd(&encoder->Stream);
    delete encoder;
}

PngEncoderPtr MakePngEncoder(int level) {
    PngEncoderPtr encoder(new PngEncoder);
    if (deflateInit(&encoder->Stream, level) != Z_OK) {
        delete encoder.release();  // nothing to end: the stream never started
        throw std::runtime_error("cannot start the PNG compressor");
    }
    return encoder;
}

void EncodePng(PngEncoder& encoder, const Colour32* pixels, int width, int height,
               std::vector<std::uint8_t>& out) {
    PrepareRows(encoder.Rows, pixels, width, height);
    z_stream& z = encoder.Stream;
    deflateReset(&z);
    const uLong bound = deflateBound(&z, static_cast<uLong>(encoder.Rows.size()));

    static constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit, RGB, deflate, filters, no interlace

    encoder.Compressed.resize(bound);
    z.next_in = encoder.Rows.data();
    z.avail_in = static_cast<uInt>(encoder.Rows.size());
    z.next_out = encoder.Compressed.data();
    z.avail_out = static_cast<uInt>(bound);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("the PNG compressor failed");

    out.assign(Signature, Signature + 8);
    PutChunk(out, "IHDR", header.data(), header.size());
    PutChunk(out, "IDAT", encoder.Compressed.data(), static_cast<std::size_t>(z.total_out));
    PutChunk(out, "IEND", nullptr, 0);
}
