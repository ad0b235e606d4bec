#include "landscape_triangles.h"

#include <algorithm>

#include "demo/landscape.h"
#include "base/numeric.h"
#include "raster/polyfill.h"
#include "raster/vec3.h"

namespace {

struct Corner {
    std::int32_t x, y;
};

// Sample (i, j) stands at (110 + 10 j, 530 - 100 h, -590 + 10 i), seen from 600.
Corner SampleCorner(int i, int j, double animPhase) {
    const double h = LandscapeHeight(i, j, animPhase);
    ScreenPoint p{0, 0};
    Project(110 + 10 * j, 530 - 100 * h, -590 + 10 * i, 600, p);
    return {Round(p.x), Round(p.y)};
}

ScreenTriangle Triangle(Corner p, Corner q, Corner r, Colour32 colour) {
    return {{p.x, q.x, r.x}, {p.y, q.y, r.y}, colour};
}

}  // namespace

std::vector<ScreenTriangle> LandscapeTriangles(double animPhase) {
    constexpr int N = LandscapeSize;
    std::vector<Corner> corners(N * N);
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j) corners[i * N + j] = SampleCorner(i, j, animPhase);
    std::vector<ScreenTriangle> triangles;
    triangles.reserve(2 * (N - 1) * (N - 1));
    for (int i = 1; i < N; ++i) {
        for (int j = 1; j < N; ++j) {
            const Corner a = corners[(i - 1) * N + j - 1], b = corners[(i - 1) * N + j];
            const Corner c = corners[i * N + j - 1], d = corners[i * N + j];
            const Colour32 colour = LandscapeColour(LandscapeHeight(i, j, animPhase));
            triangles.push_back(Triangle(a, b, c, colour));
            triangles.push_back(Triangle(d, c, b, colour));
        }
    }
    return triangles;
}

void FillTriangles(const std::vector<ScreenTriangle>& triangles, const FrameView& frame) {
    for (const ScreenTriangle& t : triangles)
        FillTriangle(t.x[0], t.y[0], t.x[1], t.y[1], t.x[2], t.y[2], frame, t.colour);
}

bool TrianglesMatchLandscape(double animPhase) {
    std::vector<Colour32> ours(FramePixelCount), theirs(FramePixelCount);
    FrameTarget target;
    FillTriangles(LandscapeTriangles(animPhase), BeginFrame(target, ClearPackedFrame(ours.data())));
    DrawLandscape(BeginFrame(target, ClearPackedFrame(theirs.data())), animPhase);
    return ours == theirs;
}
