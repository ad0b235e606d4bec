// The effects' pictures are pinned by the show's golden hashes. What those
// pin of the balls' bounces and overlaps is what its ten balls happen to
// meet; here are the exact limits of the rules, which they never land on.
// The depth sort's handling of ties shows only where ties happen to occur,
// so it is held to the standard library's stable sort.
#include <algorithm>
#include <random>
#include <vector>

#include "demo/disc_rings.h"
#include "demo_fixture.h"

namespace {

constexpr double Pi = 3.141592653589793;

class BallsTest : public DemoTest {
  protected:
    // Balls 0 to 2 are set by each test; the others stand still, radius 1, in
    // a row near the top right where nothing reaches them.
    void SetUp() override {
        DemoTest::SetUp();
        for (int i = 0; i < BallCount; ++i) show.Balls[i] = Ball{500.0 + 20 * i, 140, 0, 0, 1, 0};
    }
};

TEST_F(BallsTest, TouchingIsNoContactAndACornerTakesBothWalls) {
    // Exactly touching the left and bottom walls, and the right and top ones;
    // ball 2 exactly touching ball 1.
    show.Balls[0] = Ball{109, 490, Pi, 0, 10, 0xFF0000};
    show.Balls[1] = Ball{690, 109, 0, 0, 10, 0xFF0000};
    show.Balls[2] = Ball{670, 109, 0, 0, 10, 0xFF0000};
    UpdateBalls(show.Balls, 0.1);
    EXPECT_EQ(show.Balls[0].Radius + show.Balls[1].Radius + show.Balls[2].Radius, 30);

    // The left wall (radius 10 -> 11), then the top wall with the grown
    // radius (11 -> 12), each leaving the ball touching it.
    Ball& b = show.Balls[0] = Ball{105, 105, 5 * Pi / 4, 100, 10, 0xFF0000};
    UpdateBalls(show.Balls, 0.1);
    EXPECT_TRUE(b.X == 109 && b.Y == 110 && b.Radius == 12);
    EXPECT_NEAR(b.Heading, Pi / 4, 1e-12);
}

// Just grown at the left wall, moving away at half a pixel per frame: the
// wall catches it every frame until the cap, and it stays inside.
TEST_F(BallsTest, RadiusGrowsToTheCapOf200) {
    Ball& b = show.Balls[0] = Ball{109, 300, 0, 5, 11, 0xFF0000};
    for (int frame = 0; frame < 300; ++frame) {
        UpdateBalls(show.Balls, 0.1);
        ASSERT_TRUE(b.X - b.Radius >= 98 && b.X + b.Radius <= 701) << frame;
    }
    EXPECT_EQ(b.Radius, 200);
    EXPECT_EQ(b.Y, 300);
}

// A frame delta of days (a suspended machine) still ends at a wall.
TEST_F(BallsTest, HugeFrameDeltaStillEndsAtTheWall) {
    Ball& b = show.Balls[0] = Ball{400, 300, Pi, 100, 10, 0xFF0000};
    UpdateBalls(show.Balls, 1e6);
    EXPECT_TRUE(b.X == 109 && b.Radius == 11);

    InitBalls(show.Balls, RandomSeed);
    std::vector<Colour32> pixels(FramePixelCount);
    const FrameView frame = BeginFrame(show.Frame, ClearPackedFrame(pixels.data()));
    for (const double dt : {1e6, 3.7, 1e9}) {
        UpdateBalls(show.Balls, dt);
        for (const Ball& ball : show.Balls) EXPECT_TRUE(InArena(ball));
        DrawBalls(show.Balls, frame);
    }
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

TEST(DiscRings, SortIsStableAndAscendingByDepth) {
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        DiscSlot slots[DiscSlotCount], expected[DiscSlotCount];
        for (int s = 0; s < DiscSlotCount; ++s) {
            // Few distinct depths, so many records tie; X keeps the original position.
            const double depth = -static_cast<double>(random() % (2 + round));
            slots[s] = expected[s] = DiscSlot{s, 0, 0, depth, 0};
        }
        std::stable_sort(expected, expected + DiscSlotCount,
                         [](const DiscSlot& a, const DiscSlot& b) { return a.Depth < b.Depth; });
        SortDiscSlots(slots);
        for (int s = 0; s < DiscSlotCount; ++s) ASSERT_EQ(slots[s].X, expected[s].X) << s;
    }
}

}  // namespace
