#include "demo/twisted_column.h"

#include <cmath>

#include "base/numeric.h"
#include "raster/polyfill.h"

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double AxisX = 650;
constexpr double AxisZ = -50;
constexpr double CornerDistance = 100;
constexpr double TopY = 53;
constexpr double RingSpacing = 17;
constexpr double ViewDistance = 600;

ScreenPoint ProjectPoint(const Vec3& v) {
    ScreenPoint p{0, 0};
    Project(v.x, v.y, v.z, ViewDistance, p);
    return p;
}

// Flat colour of a face from its unit model normal: faces toward the viewer
// (N.z < 0 with this corner order) in orange tones, everything else black.
Colour32 FaceColour(const Vec3& v0, const Vec3& v1, const Vec3& v2) {
    Vec3 n = FaceNormal(v0, v1, v2);
    Normalize(n);
    if (!(n.z < 0)) return 0;
    return PackColour(Round(std::fabs(255 * n.z)), Round(std::fabs(127 * n.z)), 0);
}

}  // namespace

// Each half works from one end of the column toward its middle; band 13 closes both.
// clang-format off
const std::int8_t ColumnBandOrder[ColumnBandOrderLength] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
    27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13,
};
// clang-format on

Vec3 ColumnCorner(int ring, int corner, double animPhase) {
    const double t = animPhase;
    const double theta = Sine(t + ring / 10.0) + corner * Pi / 2 + t + ring / 20.0;
    return {AxisX + CornerDistance * Cosine(theta), TopY + RingSpacing * ring,
            AxisZ + CornerDistance * Sine(theta)};
}

void BuildColumnRings(double animPhase, ColumnRing (&rings)[ColumnRingCount]) {
    for (int r = 0; r < ColumnRingCount; ++r)
        for (int k = 0; k < 4; ++k) rings[r].Corners[k] = ColumnCorner(r, k, animPhase);
}

void ShadeTriangle(const Vec3& v0, const Vec3& v1, const Vec3& v2, bool computeColour, Colour32& colour,
                   const FrameView& frame) {
    const ScreenPoint s0 = ProjectPoint(v0);
    const ScreenPoint s1 = ProjectPoint(v1);
    const ScreenPoint s2 = ProjectPoint(v2);
    // Winding on screen, from the unrounded projections.
    const double w = (s0.x - s1.x) * (s0.y - s2.y) - (s0.y - s1.y) * (s0.x - s2.x);
    if (computeColour) colour = FaceColour(v0, v1, v2);
    if (w < 0) {
        FillTriangle(Round(s0.x), Round(s0.y), Round(s1.x), Round(s1.y), Round(s2.x), Round(s2.y), frame,
                     colour);
    }
}

void DrawColumnBand(const ColumnRing (&rings)[ColumnRingCount], int band, const FrameView& frame) {
    const Vec3* upper = rings[band].Corners;
    const Vec3* lower = rings[band + 1].Corners;
    for (int k = 0; k < 4; ++k) {
        const int k1 = (k + 1) % 4;
        // The second triangle of a corner takes the first one's colour, so
        // the four-cornered face is one flat colour.
        Colour32 colour = 0;
        ShadeTriangle(upper[k], upper[k1], lower[k], true, colour, frame);
        ShadeTriangle(lower[k1], lower[k], upper[k1], false, colour, frame);
    }
}

void DrawTwistedColumn(const FrameView& frame, double animPhase) {
    ColumnRing rings[ColumnRingCount];
    BuildColumnRings(animPhase, rings);
    for (const std::int8_t band : ColumnBandOrder) DrawColumnBand(rings, band, frame);
}
