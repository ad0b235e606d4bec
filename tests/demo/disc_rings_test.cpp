#include <algorithm>
#include <cmath>
#include <cstdint>

#include "demo/disc_rings.h"
#include "demo_fixture.h"
#include "test_frame.h"

namespace {

using DiscRings = DemoTest;

TEST_F(DiscRings, AtPhaseZeroTheCirclesProjectUnturned) {
    DiscSlot slots[DiscSlotCount];
    BuildDiscSlots(0.0, slots);
    for (int s = 0; s < 16; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(slots[s].Y, 300);  // the horizontal circle is at eye height
        EXPECT_GE(slots[s].Radius, 16);
        EXPECT_LE(slots[s].Radius, 24);
    }
    // The facing circle: radius 150 at depth -150 is 120 on screen, about (240, 300).
    for (int s = 17; s < 32; ++s) {
        if (s == 24) continue;
        SCOPED_TRACE(s);
        const double distance = std::hypot(slots[s].X - 240.0, slots[s].Y - 300.0);
        EXPECT_NEAR(distance, 120.0, 0.75);
        EXPECT_EQ(slots[s].Radius, 19);  // 24 * 600 / 750 = 19.2
        EXPECT_EQ(slots[s].Depth, -150.0);
    }
    EXPECT_EQ(slots[0].X, 360);
    EXPECT_EQ(slots[0].Radius, 19);
}

TEST_F(DiscRings, SixSlotsStayEmptyAndColoursFollowTheSlotNumber) {
    DiscSlot slots[DiscSlotCount];
    BuildDiscSlots(1.234, slots);
    int filled = 0;
    for (int s = 0; s < DiscSlotCount; ++s) {
        if (DiscSlotFilled(s)) {
            ++filled;
            EXPECT_LT(slots[s].Depth, 0.0);
            EXPECT_GT(slots[s].Radius, 0);
            continue;
        }
        EXPECT_EQ(slots[s].X, 0);
        EXPECT_EQ(slots[s].Y, 0);
        EXPECT_EQ(slots[s].Radius, 0);
        EXPECT_EQ(slots[s].Depth, 0.0);
        EXPECT_EQ(slots[s].Colour, 0u);
    }
    EXPECT_EQ(filled, DrawnDiscCount);
    EXPECT_EQ(slots[0].Colour, 0x627522u);
    EXPECT_EQ(slots[4].Colour, 0xEC49ABu);   // 5 * 0x627522 wraps once
    EXPECT_EQ(slots[47].Colour, 0x75F672u);  // 48 * 0x627522 mod 0xFFFFFF
}

TEST_F(DiscRings, SortIsStableAndAscendingByDepth) {
    DiscSlot slots[DiscSlotCount];
    std::uint32_t state = 12345;
    for (int s = 0; s < DiscSlotCount; ++s) {
        state = state * 1103515245u + 12345u;
        // Few distinct depths, so many records tie; X keeps the original position.
        slots[s] = DiscSlot{s, 0, 0, -static_cast<double>((state >> 16) % 5), 0};
    }
    DiscSlot expected[DiscSlotCount];
    std::copy(slots, slots + DiscSlotCount, expected);
    std::stable_sort(expected, expected + DiscSlotCount,
                     [](const DiscSlot& a, const DiscSlot& b) { return a.Depth < b.Depth; });
    SortDiscSlots(slots);
    for (int s = 0; s < DiscSlotCount; ++s) {
        EXPECT_EQ(slots[s].X, expected[s].X) << s;
        EXPECT_EQ(slots[s].Depth, expected[s].Depth) << s;
    }
}

// At phase 0, slot 4 sits on the nearest pole with depth exactly 0: it ties
// with the six empty slots, comes first among them, and is drawn last.
TEST_F(DiscRings, NearestPoleAtDepthZeroIsStillDrawnLast) {
    TestFrame frame;
    DrawDiscRings(frame.view, 0.0);
    EXPECT_EQ(frame.At(200, 300), 0xEC49ABu);
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

TEST_F(DiscRings, FigureStaysWithinItsExtentsAtEveryPhase) {
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int n = 0; n < 25000; ++n) {
        const double phase = n * 0.0437;  // beyond a whole show at 1 ms frames
        DiscSlot slots[DiscSlotCount];
        BuildDiscSlots(phase, slots);
        SortDiscSlots(slots);
        for (int d = 0; d < DrawnDiscCount; ++d) {
            const DiscSlot& s = slots[d];
            left = std::min(left, s.X - s.Radius);
            right = std::max(right, s.X + s.Radius);
            top = std::min(top, s.Y - s.Radius);
            bottom = std::max(bottom, s.Y + s.Radius);
            ASSERT_GE(s.Radius, 16);
            ASSERT_LE(s.Radius, 24);
        }
    }
    EXPECT_GE(left, 85);
    EXPECT_LE(right, 380);
    EXPECT_GE(top, 157);
    EXPECT_LE(bottom, 443);
}

}  // namespace
