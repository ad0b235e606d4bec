#include "demo/landscape.h"

#include <cmath>

#include "base/numeric.h"
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
    double rowPart[N];     // i / 19
    double columnPart[N];  // j / 20
    double rowSwell[N];    // i / 18
    double columnWave[N];  // j / 8
    double ripple[N];      // 10 cos((j / 32) * T * 0.017), by j
    double drift;          // 0.22 T
};

// sin((i + j) / 20), by i + j: the one factor that does not move.
struct Diagonal {
    double sine[2 * N - 1];
};

Diagonal MakeDiagonal() {
    Diagonal d;
    for (int n = 0; n < 2 * N - 1; ++n) d.sine[n] = Sine(n / 20.0);
    return d;
}

const Diagonal& SampleDiagonal() {
    static const Diagonal diagonal = MakeDiagonal();
    return diagonal;
}

void ComputeHeightFactors(double t, HeightFactors& f) {
    double rippleArgument[N];
    for (int n = 0; n < N; ++n) {
        f.rowPart[n] = n / 19.0;
        f.columnPart[n] = n / 20.0;
        f.rowSwell[n] = n / 18.0;
        f.columnWave[n] = n / 8.0;
        rippleArgument[n] = (n / 32.0) * t * 0.017;
    }
    CosineOfEach(rippleArgument, f.ripple, N);
    for (double& r : f.ripple) r = 10 * r;
    f.drift = 0.22 * t;
}

// The heights of row i. Each of the three sines and cosines is taken for the
// whole row at once, which the numerics do several at a time and without
// the branches that one call per sample costs.
void RowHeights(const HeightFactors& f, const double* diagonal, int i, double* heights) {
    double argument[N], wave[N], swell[N];
    for (int j = 0; j < N; ++j) argument[j] = f.rowPart[i] + f.columnPart[j] + f.drift;
    CosineOfEach(argument, wave, N);
    for (int j = 0; j < N; ++j) argument[j] = 9 * wave[j] + f.columnWave[j];
    CosineOfEach(argument, wave, N);
    for (int j = 0; j < N; ++j) argument[j] = f.ripple[j] + f.rowSwell[i];
    SineOfEach(argument, swell, N);
    for (int j = 0; j < N; ++j) heights[j] = std::fabs(diagonal[i + j] * wave[j] * swell[j]);
}

struct ScreenCorner {
    std::int32_t x, y;
};

// Sample (i, j) stands at (110 + 10 j, 530 - 100 h, -590 + 10 i), projected
// from 600 as Project does: k = d / (d - z) depends on the row alone, and the
// screen x on the row and column alone, so both are worked out once; the
// screen y is (y - 300) k + 300 with the same k.
struct Projection {
    double scale[N];       // k of row i
    std::int32_t x[N][N];  // rounded screen x of sample (i, j)
};

Projection MakeProjection() {
    Projection p;
    const double centreX = ScreenWidth / 2;
    for (int i = 0; i < N; ++i) {
        const double z = -590 + 10 * i;
        p.scale[i] = ViewDistance / (ViewDistance - z);
        for (int j = 0; j < N; ++j) {
            const double x = 110 + 10 * j;
            p.x[i][j] = Round((x - centreX) * p.scale[i] + centreX);
        }
    }
    return p;
}

const Projection& SampleProjection() {
    static const Projection projection = MakeProjection();
    return projection;
}

std::int32_t ScreenY(double h, double scale) {
    const double centreY = ScreenHeight / 2;
    const double y = 530 - 100 * h;
    return Round((y - centreY) * scale + centreY);
}

}  // namespace

double LandscapeHeight(int i, int j, double animPhase) {
    const double t = animPhase;
    return std::fabs(Sine((i + j) / 20.0) * Cosine(9 * Cosine(i / 19.0 + j / 20.0 + 0.22 * t) + j / 8.0) *
                     Sine(10 * Cosine((j / 32.0) * t * 0.017) + i / 18.0));
}

Colour32 LandscapeColour(double h) {
    const std::int32_t level = Round(255 * h);  // green and blue alike
    return PackColour(128 + Round(127 * h), level, level);
}

void DrawLandscape(const FrameView& frame, double animPhase) {
    HeightFactors factors;
    ComputeHeightFactors(animPhase, factors);
    const double* diagonal = SampleDiagonal().sine;
    const Projection& projection = SampleProjection();
    // Every height is computed once; what the next row needs of this one is
    // kept as the projected, rounded corner, which is all the cells use.
    ScreenCorner rows[2][N];
    ScreenCorner* previous = rows[0];
    ScreenCorner* current = rows[1];
    double heights[N];
    for (int i = 0; i < N; ++i) {
        const double scale = projection.scale[i];
        const std::int32_t* screenX = projection.x[i];
        RowHeights(factors, diagonal, i, heights);
        for (int j = 0; j < N; ++j) {
            const double h = heights[j];
            current[j] = {screenX[j], ScreenY(h, scale)};
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
