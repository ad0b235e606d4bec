#pragma once
// Ten shaded balls in a white arena. They move by real time, bounce off the
// walls growing one pixel of radius per contact, and shrink one pixel for each
// other ball they overlap; directions never change on overlap.
#include <cstdint>

#include "base/random.h"
#include "raster/colour.h"
#include "raster/frame.h"

struct Ball {
    double X;             // centre, pixels from the left
    double Y;             // centre, pixels from the top
    double Heading;       // radians; motion (cos, sin) with y down; never normalised
    double Speed;         // pixels per second
    std::uint8_t Radius;  // 1..200 once the scene has started
    Colour32 Colour;      // colour at the centre
};

inline constexpr int BallCount = 10;

// The arena's walls are the lines x = 99, x = 700, y = 99 and y = 500.
inline constexpr std::int32_t ArenaLeft = 99;
inline constexpr std::int32_t ArenaTop = 99;
inline constexpr std::int32_t ArenaRight = 700;
inline constexpr std::int32_t ArenaBottom = 500;
inline constexpr std::uint8_t BallRadiusCap = 200;

// Fills balls from the generator: seven draws per ball, 70 in all.
void InitBalls(Ball (&balls)[BallCount], RandomState& generator);

// Moves every ball by frameDelta seconds, applies the wall and overlap rules.
void UpdateBalls(Ball (&balls)[BallCount], double frameDelta);

// Draws the arena outline and then the ten discs in array order.
void DrawBalls(const Ball (&balls)[BallCount], const FrameView& frame);
