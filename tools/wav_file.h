#pragma once
// Mono signed 16-bit PCM WAV: a 44-byte RIFF header, then the samples in
// little-endian order.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

constexpr std::size_t WavHeaderBytes = 44;
// The RIFF size field is 32-bit: data bytes + 36 must fit.
constexpr std::uint64_t MaxWavSamples = (0xFFFFFFFFull - 36) / 2;

std::array<std::uint8_t, WavHeaderBytes> WavHeader(std::uint32_t sampleRate, std::uint32_t samples);

// Appends the samples to `bytes` as little-endian 16-bit values.
void AppendSamples(std::vector<std::uint8_t>& bytes, std::span<const std::int16_t> samples);
