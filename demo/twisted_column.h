#pragma once
// A tall four-sided column whose square cross-sections each turn by their own
// angle, flat-shaded in orange tones from the face normal, culled by winding.
#include <cstdint>

#include "raster/colour.h"
#include "raster/frame.h"
#include "raster/vec3.h"

inline constexpr int ColumnRingCount = 29;
inline constexpr int ColumnBandCount = 28;

struct ColumnRing {
    Vec3 Corners[4];
};

// Corner k of ring r for phase T.
Vec3 ColumnCorner(int ring, int corner, double animPhase);

// The bands in drawing order: 0..13 from the top, then 27 down to 13, so
// band 13 is drawn twice and last of all.
inline constexpr int ColumnBandOrderLength = 29;
extern const std::int8_t ColumnBandOrder[ColumnBandOrderLength];

// Projects and tests the winding of one triangle and fills it when it faces
// the viewer on screen. With computeColour the flat colour is taken from the
// model normal and stored in colour; otherwise colour is used as given.
void ShadeTriangle(const Vec3& v0, const Vec3& v1, const Vec3& v2, bool computeColour, Colour32& colour,
                   const FrameView& frame);

// Draws one band (ring band and band + 1): per corner the first triangle,
// which decides the colour, then the second in the same colour.
void DrawColumnBand(const ColumnRing (&rings)[ColumnRingCount], int band, const FrameView& frame);

void BuildColumnRings(double animPhase, ColumnRing (&rings)[ColumnRingCount]);

void DrawTwistedColumn(const FrameView& frame, double animPhase);
