#include "fuzz_input.h"

bool SplitFuzzInput(std::span<const std::uint8_t> data, FuzzInput& input) {
    if (data.size() < FuzzHeaderBytes) return false;
    input.RateMode = data[0];
    input.RawRate = static_cast<std::uint32_t>(data[1] | data[2] << 8 | data[3] << 16) |
                    static_cast<std::uint32_t>(data[4]) << 24;
    const std::size_t planBytes = data[5];
    if (data.size() < FuzzHeaderBytes + planBytes) return false;
    input.Plan = data.subspan(FuzzHeaderBytes, planBytes);
    input.Image = data.subspan(FuzzHeaderBytes + planBytes);
    return true;
}

std::vector<std::uint8_t> JoinFuzzInput(std::uint8_t rateMode, std::uint32_t rawRate,
                                        std::span<const std::uint8_t> plan,
                                        std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> data = {rateMode,
                                      static_cast<std::uint8_t>(rawRate),
                                      static_cast<std::uint8_t>(rawRate >> 8),
                                      static_cast<std::uint8_t>(rawRate >> 16),
                                      static_cast<std::uint8_t>(rawRate >> 24),
                                      static_cast<std::uint8_t>(plan.size())};
    data.insert(data.end(), plan.begin(), plan.end());
    data.insert(data.end(), image.begin(), image.end());
    return data;
}
