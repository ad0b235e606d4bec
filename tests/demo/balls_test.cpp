// The bounces and overlaps the show's golden pictures pin are those its ten
// balls happen to meet; these are the exact limits of the rules, which they
// never land on.
#include "demo/balls.h"
#include "demo_fixture.h"

namespace {

constexpr double Pi = 3.141592653589793;

class BallsTest : public DemoTest {
protected:
    // Ball 0 is the one under test; the others stand still, radius 1, in a
    // row near the top right where nothing reaches them.
    void SetUp() override {
        DemoTest::SetUp();
        for (int i = 0; i < BallCount; ++i)
            Balls[i] = Ball{520.0 + 20 * (i - 1), 120, 0, 0, 1, 0x808080};
    }
    static Ball& Moving(double x, double y, double heading, double speed, std::uint8_t radius) {
        Balls[0] = Ball{x, y, heading, speed, radius, 0xFF0000};
        return Balls[0];
    }
};

TEST_F(BallsTest, TouchingIsNoContactAndACornerTakesBothWalls) {
    // Exactly touching the left and bottom walls, and the right and top ones.
    Moving(109, 490, Pi, 0, 10);
    Balls[1] = Ball{690, 109, 0, 0, 10, 0xFF0000};
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius + Balls[1].Radius, 20);

    // The left wall (radius 10 -> 11), then the top wall with the grown
    // radius (11 -> 12), each leaving the ball touching it.
    Ball& b = Moving(105, 105, 5 * Pi / 4, 100, 10);
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 109);
    EXPECT_EQ(b.Y, 110);
    EXPECT_EQ(b.Radius, 12);
    EXPECT_NEAR(b.Heading, Pi / 4, 1e-12);
}

// Just grown at the left wall, moving away at half a pixel per frame: the
// wall catches it every frame until the cap, and it stays inside.
TEST_F(BallsTest, RadiusGrowsToTheCapOf200) {
    Ball& b = Moving(109, 300, 0, 5, 11);
    for (int frame = 0; frame < 300; ++frame) {
        UpdateBalls(0.1);
        ASSERT_GE(b.X - b.Radius, 98);
        ASSERT_LE(b.X + b.Radius, 701);
    }
    EXPECT_EQ(b.Radius, 200);
    EXPECT_EQ(b.Y, 300);
}

TEST_F(BallsTest, OverlapIsStrictAndNeverShrinksBelowOne) {
    Balls[0] = Ball{300, 300, 0, 0, 20, 0xFF0000};
    Balls[1] = Ball{340, 300, 0, 0, 20, 0xFF0000};
    UpdateBalls(0.1);  // exactly touching: no change
    EXPECT_EQ(Balls[0].Radius + Balls[1].Radius, 40);
    Balls[1].X = 339.9;
    Balls[2] = Ball{290, 300, 0, 0, 1, 0xFF0000};
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius, 18);  // two others
    EXPECT_EQ(Balls[1].Radius, 19);
    EXPECT_EQ(Balls[2].Radius, 1);
}

// A frame delta of days (a suspended machine) still ends at a wall.
TEST_F(BallsTest, HugeFrameDeltaStillEndsAtTheWall) {
    Ball& b = Moving(400, 300, Pi, 100, 10);
    UpdateBalls(1e6);
    EXPECT_EQ(b.X, 109);
    EXPECT_EQ(b.Radius, 11);

    InitBalls();
    const auto frame = NewOwnedFrame();
    for (const double dt : {1e6, 3.7, 1e9}) {
        UpdateBalls(dt);
        for (const Ball& ball : Balls) {
            EXPECT_TRUE(ball.X - ball.Radius >= 97 && ball.X + ball.Radius <= 702);
            EXPECT_TRUE(ball.Y - ball.Radius >= 97 && ball.Y + ball.Radius <= 502);
        }
        DrawBalls(frame->view);
    }
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

}  // namespace
