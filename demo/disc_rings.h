#pragma once
// Forty-two shaded discs on three perpendicular circles about one centre,
// tumbling about three axes, projected and drawn farthest first.
#include <cstdint>

#include "raster/colour.h"
#include "raster/frame.h"

struct DiscSlot {
    std::int32_t X;  // screen centre
    std::int32_t Y;
    std::int32_t Radius;  // pixels
    double Depth;         // z of the rotated point; more negative is farther
    Colour32 Colour;
};

inline constexpr int DiscSlotCount = 48;
inline constexpr int DrawnDiscCount = 42;

// True for the 42 slots that hold a point; the other six stay all zero.
bool DiscSlotFilled(int slot);

// Fills all 48 slots for phase T: the filled ones rotated and projected,
// the rest zero.
void BuildDiscSlots(double animPhase, DiscSlot (&slots)[DiscSlotCount]);

// Stable exchange sort by Depth, ascending: pass p = 0..46, k = 47 down to
// p + 1, exchange when slot k is strictly shallower than slot k - 1.
void SortDiscSlots(DiscSlot (&slots)[DiscSlotCount]);

// Builds, sorts and draws the first 42 slots of the sorted list.
void DrawDiscRings(const FrameView& frame, double animPhase);
