#include "raster/colour.h"

Colour32 PackColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    // Remainders keep the sign of the component; the terms are added with
    // wrap-around, so a negative remainder borrows from the term above.
    const std::uint32_t r = static_cast<std::uint32_t>(red % 256);
    const std::uint32_t g = static_cast<std::uint32_t>(green % 256);
    const std::uint32_t b = static_cast<std::uint32_t>(blue % 256);
    return r * 65536u + g * 256u + b;
}

void AddCapped(std::uint8_t& value, std::uint8_t limit, std::int32_t amount) {
    // Computed in 64 bits so that no amount can overflow the sum.
    const std::int64_t sum = std::int64_t{value} + amount;
    value = sum < limit ? static_cast<std::uint8_t>(sum & 0xFF) : limit;
}

void SubtractFloored(std::uint8_t& value, std::uint8_t limit, std::int32_t amount) {
    const std::int64_t difference = std::int64_t{value} - amount;
    value = difference > limit ? static_cast<std::uint8_t>(difference & 0xFF) : limit;
}
