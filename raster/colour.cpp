#include "raster/colour.h"

void AddCapped(std::uint8_t& value, std::uint8_t limit, std::int32_t amount) {
    // Computed in 64 bits so that no amount can overflow the sum.
    const std::int64_t sum = std::int64_t{value} + amount;
    value = sum < limit ? static_cast<std::uint8_t>(sum & 0xFF) : limit;
}

void SubtractFloored(std::uint8_t& value, std::uint8_t limit, std::int32_t amount) {
    const std::int64_t difference = std::int64_t{value} - amount;
    value = difference > limit ? static_cast<std::uint8_t>(difference & 0xFF) : limit;
}
