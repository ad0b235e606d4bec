#pragma once
// The fuzz input: how the sample rate is chosen, a plan of render calls and
// forced row ends, then the song image itself.
//
//   byte 0      rate mode: below 0x80, rate = ticks per second x (mode + 1),
//               so a tick lasts mode + 1 samples; otherwise bytes 1-4 hold
//               the rate (little-endian), however unusable
//   bytes 1-4   the rate for modes 0x80 and above
//   byte 5      n, the number of plan bytes
//   6 .. 6+n    plan: each byte renders (low 6 bits) x 16 + 1 samples in one
//               call, and with bit 6 set first ends the row by hand
//   the rest    the song image
#include <cstdint>
#include <span>
#include <vector>

struct FuzzInput {
    std::uint8_t RateMode = 0;
    std::uint32_t RawRate = 0;
    std::span<const std::uint8_t> Plan;
    std::span<const std::uint8_t> Image;
};

constexpr std::size_t FuzzHeaderBytes = 6;

// false when the data is too short to hold the header and the plan
bool SplitFuzzInput(std::span<const std::uint8_t> data, FuzzInput& input);

std::vector<std::uint8_t> JoinFuzzInput(std::uint8_t rateMode, std::uint32_t rawRate,
                                        std::span<const std::uint8_t> plan,
                                        std::span<const std::uint8_t> image);
