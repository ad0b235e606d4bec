// The effects drawn from AnimPhase alone: disc rings, twisted column and
// landscape. Their extents over the whole show are checked in show_test.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "demo/disc_rings.h"
#include "demo/landscape.h"
#include "demo/twisted_column.h"
#include "demo_fixture.h"
#include "raster/vec3.h"

namespace {

using DiscRings = DemoTest;
using TwistedColumn = DemoTest;
using Landscape = DemoTest;

TEST_F(DiscRings, AtPhaseZeroTheCirclesProjectUnturned) {
    DiscSlot slots[DiscSlotCount];
    BuildDiscSlots(0.0, slots);
    for (int s = 0; s < 16; ++s) {
        EXPECT_EQ(slots[s].Y, 300) << s;  // the horizontal circle is at eye height
        EXPECT_TRUE(slots[s].Radius >= 16 && slots[s].Radius <= 24) << s;
    }
    // The facing circle: radius 150 at depth -150 is 120 on screen, about (240, 300).
    for (int s = 17; s < 32; ++s) {
        if (s == 24) continue;
        EXPECT_NEAR(std::hypot(slots[s].X - 240.0, slots[s].Y - 300.0), 120.0, 0.75) << s;
        EXPECT_EQ(slots[s].Radius, 19) << s;  // 24 * 600 / 750 = 19.2
        EXPECT_EQ(slots[s].Depth, -150.0) << s;
    }
    EXPECT_EQ(slots[0].X, 360);
}

TEST_F(DiscRings, SortIsStableAndAscendingByDepth) {
    DiscSlot slots[DiscSlotCount], expected[DiscSlotCount];
    std::uint32_t state = 12345;
    for (int s = 0; s < DiscSlotCount; ++s) {
        state = state * 1103515245u + 12345u;
        // Few distinct depths, so many records tie; X keeps the original position.
        slots[s] = expected[s] = DiscSlot{s, 0, 0, -static_cast<double>((state >> 16) % 5), 0};
    }
    std::stable_sort(expected, expected + DiscSlotCount,
                     [](const DiscSlot& a, const DiscSlot& b) { return a.Depth < b.Depth; });
    SortDiscSlots(slots);
    for (int s = 0; s < DiscSlotCount; ++s) EXPECT_EQ(slots[s].X, expected[s].X) << s;

    // At phase 0, slot 4 sits on the nearest pole with depth exactly 0: it ties
    // with the six empty slots, comes first among them, and is drawn last.
    const auto frame = NewOwnedFrame();
    DrawDiscRings(frame->view, 0.0);
    EXPECT_EQ(PixelOf(frame->memory, 200, 300), 0xEC49ABu);
}

TEST_F(TwistedColumn, RingZeroAtPhaseZeroHasItsCornersOnTheAxes) {
    const Vec3 expected[4] = {{750, 53, -50}, {650, 53, 50}, {550, 53, -50}, {650, 53, -150}};
    for (int k = 0; k < 4; ++k) {
        const Vec3 c = ColumnCorner(0, k, 0.0);
        EXPECT_NEAR(c.x, expected[k].x, 1e-9) << k;
        EXPECT_EQ(c.y, expected[k].y) << k;
        EXPECT_NEAR(c.z, expected[k].z, 1e-9) << k;
    }
}

TEST_F(TwistedColumn, OnlyTrianglesFacingTheViewerAreFilledInTheFirstTrianglesColour) {
    const auto frame = NewOwnedFrame();
    const Vec3 a{400, 300, 0}, b{500, 300, 0}, c{400, 400, 0};
    Colour32 colour = 0x123456;
    ShadeTriangle(a, b, c, true, colour, frame->view);  // clockwise on screen: culled
    EXPECT_EQ(colour, 0u);  // its model normal points away: black
    EXPECT_EQ(FindInk(frame->memory).count, 0);
    ShadeTriangle(a, c, b, true, colour, frame->view);
    EXPECT_EQ(colour, 0xFF7F00u);  // square to the viewer: full orange
    EXPECT_EQ(PixelOf(frame->memory, 420, 320), 0xFF7F00u);
    colour = 0x00FF00;  // a second triangle takes the colour it is given
    ShadeTriangle({600, 300, 0}, {600, 400, 0}, {700, 300, 0}, false, colour, frame->view);
    EXPECT_EQ(colour, 0x00FF00u);
    EXPECT_EQ(PixelOf(frame->memory, 620, 320), 0x00FF00u);
}

// Adjacent bands share their ring's edge on screen. Band 13 is drawn last,
// so wherever it and band 14 both paint, band 13's colour shows.
TEST_F(TwistedColumn, BandThirteenIsDrawnLastOverBandFourteen) {
    const auto whole = NewOwnedFrame();
    const auto band13 = NewOwnedFrame();
    const auto band14 = NewOwnedFrame();
    long contested = 0;
    for (int n = 0; n < 40; ++n) {
        const double phase = n * 0.61;
        ColumnRing rings[ColumnRingCount];
        BuildColumnRings(phase, rings);
        ClearMemoryFrame(whole->memory);
        ClearMemoryFrame(band13->memory);
        ClearMemoryFrame(band14->memory);
        DrawTwistedColumn(whole->view, phase);
        DrawColumnBand(rings, 13, band13->view);
        DrawColumnBand(rings, 14, band14->view);
        for (int i = 0; i < ScreenWidth * ScreenHeight; ++i) {
            const Colour32 upper = band13->memory.pixels[i], lower = band14->memory.pixels[i];
            if (upper == 0 || lower == 0 || upper == lower) continue;
            ++contested;
            ASSERT_EQ(whole->memory.pixels[i], upper) << "phase " << phase << " pixel " << i;
        }
    }
    EXPECT_GT(contested, 0);
}

TEST_F(Landscape, ColoursAndHeights) {
    EXPECT_EQ(LandscapeColour(0.0), 0x800000u);
    EXPECT_EQ(LandscapeColour(1.0), 0xFFFFFFu);
    // 127 * 0.5 = 63.5 and 255 * 0.5 = 127.5: halves go to the even neighbour.
    EXPECT_EQ(LandscapeColour(0.5), 0xC08080u);
    EXPECT_EQ(LandscapeHeight(0, 0, 0.0), 0.0);  // its first factor is sin 0
    EXPECT_EQ(LandscapeHeight(0, 0, 55.5), 0.0);
    EXPECT_NEAR(LandscapeHeight(1, 2, 0.0), 0.08471659324092179, 1e-15);
    EXPECT_NEAR(LandscapeHeight(40, 17, 3.0), 0.09028615697088037, 1e-15);
}

}  // namespace
