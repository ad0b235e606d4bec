#include "demo/balls.h"

#include "base/numeric.h"
#include "raster/primitives.h"
#include "base/random.h"

namespace {

constexpr double Pi = 3.141592653589793;
constexpr Colour32 ArenaColour = 0xFFFFFF;

// A wall contact puts the ball exactly touching the wall with its radius
// before growth (any overshoot is dropped), mirrors the heading across the
// wall and then grows the radius by one, up to the cap.
void BounceHorizontally(Ball& b) {
    if (b.X - b.Radius < ArenaLeft) {
        b.X = ArenaLeft + b.Radius;
        b.Heading = Pi - b.Heading;
        AddCapped(b.Radius, BallRadiusCap, 1);
    }
    // Tested with the radius the left wall may just have grown.
    if (b.X + b.Radius > ArenaRight) {
        b.X = ArenaRight - b.Radius;
        b.Heading = Pi - b.Heading;
        AddCapped(b.Radius, BallRadiusCap, 1);
    }
}

void BounceVertically(Ball& b) {
    if (b.Y - b.Radius < ArenaTop) {
        b.Y = ArenaTop + b.Radius;
        b.Heading = -b.Heading;
        AddCapped(b.Radius, BallRadiusCap, 1);
    }
    if (b.Y + b.Radius > ArenaBottom) {
        b.Y = ArenaBottom - b.Radius;
        b.Heading = -b.Heading;
        AddCapped(b.Radius, BallRadiusCap, 1);
    }
}

// Strictly closer than the sum of the radii: both shrink by one, never below 1.
void ShrinkIfOverlapping(Ball& b, Ball& c) {
    const double dx = b.X - c.X;
    const double dy = b.Y - c.Y;
    const std::int32_t reach = std::int32_t{b.Radius} + std::int32_t{c.Radius};
    if (SquareRoot(dx * dx + dy * dy) < reach) {
        SubtractFloored(b.Radius, 1, 1);
        SubtractFloored(c.Radius, 1, 1);
    }
}

}  // namespace

void InitBalls(Ball (&balls)[BallCount], RandomState& generator) {
    // The draws happen in exactly this order, seven per ball.
    for (int i = 0; i < BallCount; ++i) {
        Ball& b = balls[i];
        b.X = 100 + 60 * i;
        b.Y = 200 + RandomBelow(generator, 200);
        b.Heading = RandomFraction(generator) * (2 * Pi);
        b.Speed = RandomFraction(generator) * 285 + 20;
        const std::int32_t blue = 127 + static_cast<std::int32_t>(RandomBelow(generator, 128));
        const std::int32_t green = 127 + static_cast<std::int32_t>(RandomBelow(generator, 128));
        const std::int32_t red = 127 + static_cast<std::int32_t>(RandomBelow(generator, 128));
        b.Colour = PackColour(red, green, blue);
        b.Radius = static_cast<std::uint8_t>(10 + RandomBelow(generator, 50));
    }
}

void UpdateBalls(Ball (&balls)[BallCount], double frameDelta) {
    // Each pair is compared right after its first ball has moved and before
    // its second ball moves in this frame.
    for (int i = 0; i < BallCount; ++i) {
        Ball& b = balls[i];
        b.X = b.X + Cosine(b.Heading) * b.Speed * frameDelta;
        BounceHorizontally(b);
        b.Y = b.Y + Sine(b.Heading) * b.Speed * frameDelta;
        BounceVertically(b);
        for (int j = i + 1; j < BallCount; ++j) ShrinkIfOverlapping(b, balls[j]);
    }
}

void DrawBalls(const Ball (&balls)[BallCount], const FrameView& frame) {
    DrawRectangle(ArenaLeft, ArenaTop, ArenaRight, ArenaBottom, frame, ArenaColour);
    for (const Ball& b : balls) ShadedDisc(Round(b.X), Round(b.Y), b.Radius, frame, b.Colour);
}
