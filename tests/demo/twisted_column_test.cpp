#include <algorithm>
#include <cmath>

#include "demo/twisted_column.h"
#include "demo_fixture.h"
#include "raster/vec3.h"
#include "test_frame.h"

namespace {

using TwistedColumn = DemoTest;

TEST_F(TwistedColumn, RingZeroAtPhaseZeroHasItsCornersOnTheAxes) {
    const Vec3 expected[4] = {{750, 53, -50}, {650, 53, 50}, {550, 53, -50}, {650, 53, -150}};
    for (int k = 0; k < 4; ++k) {
        const Vec3 c = ColumnCorner(0, k, 0.0);
        EXPECT_NEAR(c.x, expected[k].x, 1e-9) << k;
        EXPECT_EQ(c.y, expected[k].y) << k;
        EXPECT_NEAR(c.z, expected[k].z, 1e-9) << k;
    }
    for (int r = 0; r < ColumnRingCount; ++r) {
        const Vec3 c = ColumnCorner(r, 2, 7.5);
        EXPECT_EQ(c.y, 53.0 + 17 * r);
        EXPECT_NEAR(std::hypot(c.x - 650, c.z + 50), 100.0, 1e-9);
    }
}

TEST_F(TwistedColumn, TriangleFacingTheViewerIsFilledInOrangeTheOtherWayNothing) {
    TestFrame frame;
    const Vec3 a{400, 300, 0}, b{500, 300, 0}, c{400, 400, 0};
    Colour32 colour = 0x123456;
    ShadeTriangle(a, b, c, true, colour, frame.view);  // clockwise on screen: culled
    EXPECT_EQ(colour, 0u);  // its model normal points away: black
    EXPECT_EQ(FindInk(*frame.memory).count, 0);

    ShadeTriangle(a, c, b, true, colour, frame.view);
    EXPECT_EQ(colour, 0xFF7F00u);  // square to the viewer: full orange
    EXPECT_EQ(frame.At(420, 320), 0xFF7F00u);

    colour = 0x00FF00;  // a second triangle takes the colour it is given
    ShadeTriangle({600, 300, 0}, {600, 400, 0}, {700, 300, 0}, false, colour, frame.view);
    EXPECT_EQ(colour, 0x00FF00u);
    EXPECT_EQ(frame.At(620, 320), 0x00FF00u);
}

TEST_F(TwistedColumn, EveryFaceIsAnOrangeTone) {
    TestFrame frame;
    for (const double phase : {0.0, 1.3, 17.77, 401.2}) {
        frame.Clear();
        DrawTwistedColumn(frame.view, phase);
        long painted = 0;
        for (const Colour32 p : frame.memory->pixels) {
            if (p == 0) continue;
            ++painted;
            const int red = p >> 16, green = (p >> 8) & 0xFF, blue = p & 0xFF;
            ASSERT_EQ(blue, 0);
            ASSERT_NEAR(green, red * 127.0 / 255.0, 1.0);
        }
        EXPECT_GT(painted, 20000) << phase;
    }
}

// Adjacent bands share their ring's edge on screen. Band 13 is drawn last,
// so wherever it and band 14 both paint, band 13's colour shows.
TEST_F(TwistedColumn, BandThirteenIsDrawnLastOverBandFourteen) {
    TestFrame whole, band13, band14;
    long contested = 0;
    for (int n = 0; n < 40; ++n) {
        const double phase = n * 0.61;
        ColumnRing rings[ColumnRingCount];
        BuildColumnRings(phase, rings);
        whole.Clear();
        band13.Clear();
        band14.Clear();
        DrawTwistedColumn(whole.view, phase);
        DrawColumnBand(rings, 13, band13.view);
        DrawColumnBand(rings, 14, band14.view);
        for (int i = 0; i < ScreenWidth * ScreenHeight; ++i) {
            const Colour32 upper = band13.memory->pixels[i];
            const Colour32 lower = band14.memory->pixels[i];
            if (upper == 0 || lower == 0 || upper == lower) continue;
            ++contested;
            ASSERT_EQ(whole.memory->pixels[i], upper) << "phase " << phase << " pixel " << i;
        }
    }
    EXPECT_GT(contested, 0);
}

TEST_F(TwistedColumn, StaysWithinItsExtentsAtEveryPhase) {
    TestFrame frame;
    InkBox all;
    for (int n = 0; n < 300; ++n) {
        frame.Clear();
        DrawTwistedColumn(frame.view, n * 3.37);
        const InkBox ink = FindInk(*frame.memory);
        all.minX = std::min(all.minX, ink.minX);
        all.maxX = std::max(all.maxX, ink.maxX);
        all.minY = std::min(all.minY, ink.minY);
        all.maxY = std::max(all.maxY, ink.maxY);
    }
    EXPECT_GE(all.minX, 536);
    EXPECT_LE(all.maxX, 737);
    EXPECT_GE(all.minY, 30);
    EXPECT_LE(all.maxY, 550);
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

}  // namespace
