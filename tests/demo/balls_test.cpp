#include <cmath>

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

// From the start state, after the 1,500 warm-up draws: y, heading, speed,
// blue, green, red, radius for each ball in turn.
TEST_F(BallsTest, SetUpDrawsSevenValuesPerBallInTheirOrder) {
    RenderThreadSetUp();
    EXPECT_EQ(Balls[0].Y, 390);
    EXPECT_NEAR(Balls[0].Heading, 3.5604795751914504, 1e-15);
    EXPECT_NEAR(Balls[0].Speed, 71.57363086356781, 1e-12);
    EXPECT_EQ(Balls[0].Colour, 0xB2F0DAu);
    EXPECT_EQ(Balls[0].Radius, 25);
    EXPECT_EQ(Balls[1].Y, 368);
    EXPECT_EQ(Balls[1].Colour, 0xE1ADD5u);
    EXPECT_EQ(Balls[1].Radius, 32);
    for (int i = 0; i < BallCount; ++i) EXPECT_EQ(Balls[i].X, 100.0 + 60 * i);
}

struct WallCase {
    const char* wall;
    double x, y, heading;  // start, 10 px from the wall, heading into it
    double endX, endY, endHeading;
};

TEST_F(BallsTest, WallContactLeavesTheBallTouchingTheWallOneLarger) {
    //                    wall     x    y    heading     end x  end y  end heading
    const WallCase cases[] = {
        {"left",   105, 300, Pi,       109, 300, 0},
        {"right",  695, 300, 0,        690, 300, Pi},
        {"top",    300, 105, -Pi / 2,  300, 109, Pi / 2},
        {"bottom", 300, 495, Pi / 2,   300, 490, -Pi / 2},
    };
    for (const WallCase& c : cases) {
        SCOPED_TRACE(c.wall);
        Ball& b = Moving(c.x, c.y, c.heading, 100, 10);
        UpdateBalls(0.1);  // 10 px: 4 px past the wall line
        EXPECT_NEAR(b.X, c.endX, 1e-9);
        EXPECT_NEAR(b.Y, c.endY, 1e-9);
        EXPECT_NEAR(b.Heading, c.endHeading, 1e-12);
        EXPECT_EQ(b.Radius, 11);
    }
    // Exactly touching a wall is no contact: here the left and bottom walls,
    // and the right and top ones.
    Moving(109, 490, Pi, 0, 10);
    Balls[1] = Ball{690, 109, 0, 0, 10, 0xFF0000};
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius + Balls[1].Radius, 20);

    // A corner: the left wall (radius 10 -> 11), then the top wall with the
    // grown radius (11 -> 12).
    Ball& b = Moving(105, 105, 5 * Pi / 4, 100, 10);
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 109);
    EXPECT_EQ(b.Y, 110);
    EXPECT_EQ(b.Radius, 12);
    EXPECT_NEAR(b.Heading, Pi / 4, 1e-12);
}

TEST_F(BallsTest, RadiusGrowsToTheCapOf200) {
    Ball& b = Moving(250, 300, Pi, 10, 199);
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 298);
    EXPECT_EQ(b.Radius, 200);
    b.Heading = Pi;
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 299);
    EXPECT_EQ(b.Radius, 200);

    // Just grown at the left wall, moving away at half a pixel per frame: the
    // wall catches it every frame until the cap, and it stays inside.
    Moving(109, 300, 0, 5, 11);
    for (int frame = 0; frame < 300; ++frame) {
        UpdateBalls(0.1);
        ASSERT_GE(b.X - b.Radius, 98);
        ASSERT_LE(b.X + b.Radius, 701);
    }
    EXPECT_EQ(b.Radius, 200);
    EXPECT_EQ(b.Y, 300);
}

TEST_F(BallsTest, OverlapIsStrictAndCostsOnePixelPerOtherBall) {
    Balls[0] = Ball{300, 300, 0, 0, 20, 0xFF0000};
    Balls[1] = Ball{340, 300, 0, 0, 20, 0xFF0000};
    UpdateBalls(0.1);  // exactly touching: no change
    EXPECT_EQ(Balls[0].Radius + Balls[1].Radius, 40);
    Balls[1].X = 339.9;
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius, 19);
    EXPECT_EQ(Balls[1].Radius, 19);

    Balls[0] = Ball{300, 300, 0, 0, 20, 0xFF0000};
    Balls[1] = Ball{310, 300, 0, 0, 5, 0xFF0000};
    Balls[2] = Ball{290, 300, 0, 0, 1, 0xFF0000};
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius, 18);  // two others
    EXPECT_EQ(Balls[1].Radius, 4);
    EXPECT_EQ(Balls[2].Radius, 1);  // never below 1

    // Ball 0 moves to 310, 15 from ball 1's old centre; ball 1 then moves to 335.
    Balls[0] = Ball{300, 300, 0, 100, 10, 0xFF0000};
    Balls[1] = Ball{325, 300, 0, 100, 10, 0xFF0000};
    Balls[2].X = 600;
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius, 9);
    EXPECT_EQ(Balls[1].Radius, 9);
    EXPECT_EQ(Balls[1].X, 335);
}

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

TEST_F(BallsTest, DrawShowsTheArenaAndEachDiscAtItsRoundedCentre) {
    Balls[0] = Ball{300.5, 200.5, 0, 0, 5, 0xFF0000};
    Balls[1] = Ball{301.5, 250, 0, 0, 5, 0x0000FF};  // halves go to the even neighbour
    const auto frame = NewOwnedFrame();
    DrawBalls(frame->view);
    EXPECT_EQ(PixelOf(frame->memory, 300, 200), 0xFF0000u);
    EXPECT_LT(PixelOf(frame->memory, 301, 200), 0xFF0000u);
    EXPECT_EQ(PixelOf(frame->memory, 302, 250), 0x0000FFu);
    for (const auto& [x, y] : {std::pair{99, 300}, {700, 300}, {400, 99}, {400, 500}})
        EXPECT_EQ(PixelOf(frame->memory, x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(PixelOf(frame->memory, 98, 300), 0u);
    EXPECT_EQ(PixelOf(frame->memory, 400, 501), 0u);
}

}  // namespace
