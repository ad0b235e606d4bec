#include "demo/landscape.h"

#include <cmath>

#include "raster/numeric.h"
#include "raster/polyfill.h"
#include "raster/vec3.h"

namespace {

constexpr int N = LandscapeSize;
constexpr double ViewDistance = 600;

// The factors of the height that depend on fewer than both indices, each
// computed from exactly the expression LandscapeHeight evaluates, so the
// heights come out bit for bit the same while the frame needs three
// sines or cosines per sample instead of five.
struct HeightFactors {
    double diagonal[2 * N - 1];  // sin((i + j) / 20), by i + j; independent of T
    double rowPart[N];           // i / 19
    double columnPart[N];        // j / 20
    double ripple[N];            // cos((j / 32) * T * 0.017), by j
};

void ComputeHeightFactors(double t, HeightFactors& f) {
    for (int n = 0; n < 2 * N - 1; ++n) f.diagonal[n] = Sine(n / 20.0);
    for (int n = 0; n < N; ++n) {
        f.rowPart[n] = n / 19.0;
        f.columnPart[n] = n / 20.0;
        f.ripple[n] = Cosine((n / 32.0) * t * 0.017);
    }
}

double HeightFrom(const HeightFactors& f, int i, int j, double t) {
    const double wave = Cosine(9 * Cosine(f.rowPart[i] + f.columnPart[j] + 0.22 * t) + j / 8.0);
    const double swell = Sine(10 * f.ripple[j] + i / 18.0);
    return std::fabs(f.diagonal[i + j] * wave * swell);
}

struct ScreenCorner {
    std::int32_t x, y;
};

// Sample (i, j) stands at (110 + 10 j, 530 - 100 h, -590 + 10 i).
ScreenCorner ProjectSample(int i, int j, double h) {
    ScreenPoint p{0, 0};
    Project(110 + 10 * j, 530 - 100 * h, -590 + 10 * i, ViewDistance, p);
    return {Round(p.x), Round(p.y)};
}

}  // namespace

double LandscapeHeight(int i, int j, double animPhase) {
    const double t = animPhase;
    return std::fabs(Sine((i + j) / 20.0) *
                     Cosine(9 * Cosine(i / 19.0 + j / 20.0 + 0.22 * t) + j / 8.0) *
                     Sine(10 * Cosine((j / 32.0) * t * 0.017) + i / 18.0));
}

Colour32 LandscapeColour(double h) {
    return PackColour(128 + Round(127 * h), Round(255 * h), Round(255 * h));
}

void DrawLandscape(const FrameView& frame, double animPhase) {
    HeightFactors factors;
    ComputeHeightFactors(animPhase, factors);
    // Every height is computed once; what the next row needs of this one is
    // kept as the projected, rounded corner, which is all the cells use.
    ScreenCorner rows[2][N];
    ScreenCorner* previous = rows[0];
    ScreenCorner* current = rows[1];
    for (int i = 0; i < N; ++i) {
        for (int j = 0; j < N; ++j) {
            const double h = HeightFrom(factors, i, j, animPhase);
            current[j] = ProjectSample(i, j, h);
            if (i == 0 || j == 0) continue;  // only ever a far or left corner
            const ScreenCorner& a = previous[j - 1];
            const ScreenCorner& b = previous[j];
            const ScreenCorner& c = current[j - 1];
            const ScreenCorner& d = current[j];
            FillQuad(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y, frame, LandscapeColour(h));
        }
        ScreenCorner* t = previous;
        previous = current;
        current = t;
    }
}
