#include <algorithm>

#include "demo/landscape.h"
#include "demo_fixture.h"
#include "raster/numeric.h"
#include "raster/polyfill.h"
#include "raster/vec3.h"
#include "test_frame.h"

namespace {

using Landscape = DemoTest;

TEST_F(Landscape, ColourRunsFromDarkRedToWhite) {
    EXPECT_EQ(LandscapeColour(0.0), 0x800000u);
    EXPECT_EQ(LandscapeColour(1.0), 0xFFFFFFu);
    // 127 * 0.5 = 63.5 and 255 * 0.5 = 127.5: halves go to the even neighbour.
    EXPECT_EQ(LandscapeColour(0.5), 0xC08080u);
}

TEST_F(Landscape, HeightsLieBetweenZeroAndOneAndTheFarLeftSampleIsFlat) {
    for (const double phase : {0.0, 0.02, 55.5, 1019.98}) {
        EXPECT_EQ(LandscapeHeight(0, 0, phase), 0.0);
        double highest = 0;
        for (int i = 0; i < LandscapeSize; ++i) {
            for (int j = 0; j < LandscapeSize; ++j) {
                const double h = LandscapeHeight(i, j, phase);
                ASSERT_GE(h, 0.0);
                ASSERT_LE(h, 1.0);
                highest = std::max(highest, h);
            }
        }
        EXPECT_GT(highest, 0.5) << phase;
    }
}

// The landscape drawn the plain way: every cell projects its four corners
// from freshly computed heights.
void DrawReferenceLandscape(const FrameView& frame, double phase) {
    auto corner = [phase](int i, int j, std::int32_t& x, std::int32_t& y) {
        ScreenPoint p{0, 0};
        Project(110 + 10 * j, 530 - 100 * LandscapeHeight(i, j, phase), -590 + 10 * i, 600, p);
        x = Round(p.x);
        y = Round(p.y);
    };
    for (int i = 1; i < LandscapeSize; ++i) {
        for (int j = 1; j < LandscapeSize; ++j) {
            std::int32_t ax, ay, bx, by, cx, cy, dx, dy;
            corner(i - 1, j - 1, ax, ay);
            corner(i - 1, j, bx, by);
            corner(i, j - 1, cx, cy);
            corner(i, j, dx, dy);
            FillQuad(ax, ay, bx, by, cx, cy, dx, dy, frame,
                     LandscapeColour(LandscapeHeight(i, j, phase)));
        }
    }
}

TEST_F(Landscape, DrawsExactlyTheCellsOfTheHeightField) {
    TestFrame drawn, reference;
    for (const double phase : {0.0, 0.02, 37.5, 123.46, 1019.98}) {
        drawn.Clear();
        reference.Clear();
        DrawLandscape(drawn.view, phase);
        DrawReferenceLandscape(reference.view, phase);
        EXPECT_TRUE(SamePicture(*drawn.memory, *reference.memory)) << phase;
    }
}

TEST_F(Landscape, StaysWithinItsExtentsAtEveryPhase) {
    TestFrame frame;
    InkBox all;
    for (int n = 0; n < 120; ++n) {
        frame.Clear();
        DrawLandscape(frame.view, n * 8.61);
        const InkBox ink = FindInk(*frame.memory);
        all.minX = std::min(all.minX, ink.minX);
        all.maxX = std::max(all.maxX, ink.maxX);
        all.minY = std::min(all.minY, ink.minY);
        all.maxY = std::max(all.maxY, ink.maxY);
    }
    EXPECT_GE(all.minX, 89);
    EXPECT_LE(all.maxX, 765);
    EXPECT_GE(all.minY, 365);
    EXPECT_LE(all.maxY, 547);
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

}  // namespace
