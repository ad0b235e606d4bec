#include "wav_file.h"

#include <cstring>

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

}  // namespace

std::array<std::uint8_t, WavHeaderBytes> WavHeader(std::uint32_t sampleRate, std::uint32_t samples) {
    constexpr std::uint32_t Channels = 1, BitsPerSample = 16, BlockAlign = Channels * BitsPerSample / 8;
    const std::uint32_t dataBytes = samples * BlockAlign;
    std::array<std::uint8_t, WavHeaderBytes> h{};
    std::memcpy(&h[0], "RIFF", 4);
    Put32(&h[4], 36 + dataBytes);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "fmt ", 4);
    Put32(&h[16], 16);  // size of the format chunk
    Put16(&h[20], 1);   // PCM
    Put16(&h[22], Channels);
    Put32(&h[24], sampleRate);
    Put32(&h[28], sampleRate * BlockAlign);
    Put16(&h[32], BlockAlign);
    Put16(&h[34], BitsPerSample);
    std::memcpy(&h[36], "data", 4);
    Put32(&h[40], dataBytes);
    return h;
}

void AppendSamples(std::vector<std::uint8_t>& bytes, std::span<const std::int16_t> samples) {
    for (std::int16_t sample : samples) {
        const auto value = static_cast<std::uint16_t>(sample);
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
}
