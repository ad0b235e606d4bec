#pragma once
// Pixel and colour helpers shared by the primitives and the effects.
#include <cstdint>

// A pixel: 0x00RRGGBB, blue in the low byte.
using Colour32 = std::uint32_t;

// Packs three components. Each component is first reduced modulo 256 with
// the sign of the component (truncating), and the three terms are added as
// wrapping 32-bit integers, so a negative remainder borrows from the term above.
// Inline: the shaded disc packs one colour per pixel.
inline Colour32 PackColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    // Remainders keep the sign of the component; the terms are added with
    // wrap-around, so a negative remainder borrows from the term above.
    const std::uint32_t r = static_cast<std::uint32_t>(red % 256);
    const std::uint32_t g = static_cast<std::uint32_t>(green % 256);
    const std::uint32_t b = static_cast<std::uint32_t>(blue % 256);
    return r * 65536u + g * 256u + b;
}

// value := value + amount while that stays strictly below limit, else limit.
void AddCapped(std::uint8_t& value, std::uint8_t limit, std::int32_t amount);

// value := value - amount while that stays strictly above limit, else limit.
void SubtractFloored(std::uint8_t& value, std::uint8_t limit, std::int32_t amount);
