#pragma once
// Internal to the raster library: the walks behind ShadedDisc. The plain
// walk takes any disc and is the one the mirrored walk must match pixel for
// pixel; the mirrored walk takes discs wholly inside the frame, which is
// every disc the show draws.
#include <cstdint>

#include "base/numeric.h"
#include "raster/colour.h"
#include "raster/frame.h"

namespace raster_detail {

struct DiscShade {
    double red, green, blue;
    double cornerDistance;  // r * sqrt(2)
    double radiusSquared;
};

inline DiscShade MakeDiscShade(std::int64_t radius, Colour32 colour) {
    DiscShade shade;
    shade.radiusSquared = static_cast<double>(radius * radius);
    shade.cornerDistance = SquareRoot(2.0 * shade.radiusSquared);
    shade.blue = static_cast<double>(colour & 0xFF);
    shade.green = static_cast<double>((colour >> 8) & 0xFF);
    shade.red = static_cast<double>(colour >> 16);
    return shade;
}

// Half the width of the rows dy above and below the centre.
inline std::int64_t DiscHalfWidth(const DiscShade& shade, std::int64_t dy) {
    const double t = static_cast<double>(dy) - 0.5;
    return Round64(SquareRoot(shade.radiusSquared - t * t));
}

// The colour of the disc's pixels at (dx, dy) from its centre, dy2 = dy^2:
// every component scaled by 1 - distance / (r sqrt(2)).
inline Colour32 DiscShadeAt(const DiscShade& shade, std::int64_t dx, std::int64_t dy2) {
    const double f = 1.0 - SquareRoot(static_cast<double>(dx * dx + dy2)) / shade.cornerDistance;
    return PackColour(Round(shade.red * f), Round(shade.green * f), Round(shade.blue * f));
}

// Every (dx, dy) of the disc's quarter, each colour stored at its four
// mirrored pixels that lie inside the frame; radius >= 1, centre anywhere.
void WalkDiscPlain(std::int64_t cx, std::int64_t cy, std::int64_t radius, const DiscShade& shade,
                   const FrameView& frame);

// Discs up to this radius can take the mirrored walk.
constexpr std::int64_t MirroredRadius = 511;

// The same pixels, each colour also stored at the pixels mirrored across the
// diagonal; 1 <= radius <= MirroredRadius, the disc wholly inside the frame.
void WalkDiscMirrored(std::int64_t cx, std::int64_t cy, std::int64_t radius, const DiscShade& shade,
                      const FrameView& frame);

}  // namespace raster_detail
