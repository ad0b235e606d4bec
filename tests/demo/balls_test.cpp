#include <cmath>

#include "demo/balls.h"
#include "demo_fixture.h"
#include "raster/colour.h"
#include "test_frame.h"

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

TEST_F(BallsTest, InitDrawsSevenValuesPerBallInTheirOrder) {
    RandomSeed.store(987654321u);
    InitBalls();
    const std::uint32_t after = RandomSeed.load();

    RandomSeed.store(987654321u);
    const std::uint32_t y = RandomBelow(200);
    const double heading = RandomFraction();
    const double speed = RandomFraction();
    const std::uint32_t blue = RandomBelow(128), green = RandomBelow(128), red = RandomBelow(128);
    const std::uint32_t radius = RandomBelow(50);
    for (int n = 7; n < 70; ++n) RandomBelow(2);
    EXPECT_EQ(RandomSeed.load(), after);

    EXPECT_EQ(Balls[0].Y, 200.0 + y);
    EXPECT_EQ(Balls[0].Heading, heading * 2 * Pi);
    EXPECT_EQ(Balls[0].Speed, speed * 285 + 20);
    EXPECT_EQ(Balls[0].Colour, PackColour(127 + red, 127 + green, 127 + blue));
    EXPECT_EQ(Balls[0].Radius, 10 + radius);
    for (int i = 0; i < BallCount; ++i) {
        const Ball& b = Balls[i];
        EXPECT_EQ(b.X, 100.0 + 60 * i);
        EXPECT_GE(b.Y, 200);
        EXPECT_LE(b.Y, 399);
        EXPECT_GE(b.Speed, 20);
        EXPECT_LT(b.Speed, 305);
        EXPECT_GE(b.Radius, 10);
        EXPECT_LE(b.Radius, 59);
        for (const int shift : {0, 8, 16}) {
            EXPECT_GE((b.Colour >> shift) & 0xFF, 127u);
            EXPECT_LE((b.Colour >> shift) & 0xFF, 254u);
        }
    }
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
}

TEST_F(BallsTest, CornerContactGrowsByTwoAndUsesTheGrownRadiusForTheSecondWall) {
    Ball& b = Moving(105, 105, 5 * Pi / 4, 100, 10);
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 109);  // left wall, radius 10 -> 11
    EXPECT_EQ(b.Y, 110);  // top wall with radius 11 -> 12
    EXPECT_EQ(b.Radius, 12);
    EXPECT_NEAR(b.Heading, Pi / 4, 1e-12);
}

TEST_F(BallsTest, RadiusStopsGrowingAt200) {
    Ball& b = Moving(250, 300, Pi, 10, 199);
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 298);
    EXPECT_EQ(b.Radius, 200);
    b.Heading = Pi;
    UpdateBalls(0.1);
    EXPECT_EQ(b.X, 299);
    EXPECT_EQ(b.Radius, 200);
}

TEST_F(BallsTest, SlowBallCaughtByItsWallGrowsToTheCapAndStaysInside) {
    // Just grown at the left wall, moving away at half a pixel per frame.
    Ball& b = Moving(109, 300, 0, 5, 11);
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
    EXPECT_EQ(Balls[0].Radius, 20);
    EXPECT_EQ(Balls[1].Radius, 20);

    Balls[1].X = 339.9;
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius, 19);
    EXPECT_EQ(Balls[1].Radius, 19);

    Balls[0] = Ball{300, 300, 0, 0, 20, 0xFF0000};
    Balls[1] = Ball{310, 300, 0, 0, 5, 0xFF0000};
    Balls[2] = Ball{290, 300, 0, 0, 5, 0xFF0000};
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[0].Radius, 18);  // two others
    EXPECT_EQ(Balls[1].Radius, 4);
    EXPECT_EQ(Balls[2].Radius, 4);

    Balls[1] = Ball{300, 300, 0, 0, 1, 0xFF0000};
    Balls[2] = Ball{300, 300, 0, 0, 1, 0xFF0000};
    Balls[0].X = 200;
    UpdateBalls(0.1);
    EXPECT_EQ(Balls[1].Radius, 1);  // never below 1
    EXPECT_EQ(Balls[2].Radius, 1);
}

TEST_F(BallsTest, OverlapComparesTheMovedBallWithTheOtherBallBeforeItMoves) {
    Balls[0] = Ball{300, 300, 0, 100, 10, 0xFF0000};
    Balls[1] = Ball{325, 300, 0, 100, 10, 0xFF0000};
    UpdateBalls(0.1);  // 0 moves to 310, 15 from 1's old centre; 1 then moves to 335
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
    for (const double dt : {1e6, 3.7, 1e9}) {
        UpdateBalls(dt);
        for (const Ball& ball : Balls) {
            EXPECT_GE(ball.X - ball.Radius, 97);
            EXPECT_LE(ball.X + ball.Radius, 702);
            EXPECT_GE(ball.Y - ball.Radius, 97);
            EXPECT_LE(ball.Y + ball.Radius, 502);
        }
        TestFrame frame;
        DrawBalls(frame.view);
    }
    EXPECT_EQ(ClippedDrawCount(), 0u);
}

TEST_F(BallsTest, DrawShowsTheArenaAndEachDiscAtItsRoundedCentre) {
    Balls[0] = Ball{300.5, 200.5, 0, 0, 5, 0xFF0000};
    Balls[1] = Ball{301.5, 250, 0, 0, 5, 0x0000FF};  // halves go to the even neighbour
    TestFrame frame;
    DrawBalls(frame.view);
    EXPECT_EQ(frame.At(300, 200), 0xFF0000u);
    EXPECT_LT(frame.At(301, 200), 0xFF0000u);
    EXPECT_EQ(frame.At(302, 250), 0x0000FFu);
    EXPECT_EQ(frame.At(99, 300), 0xFFFFFFu);
    EXPECT_EQ(frame.At(700, 300), 0xFFFFFFu);
    EXPECT_EQ(frame.At(400, 99), 0xFFFFFFu);
    EXPECT_EQ(frame.At(400, 500), 0xFFFFFFu);
    EXPECT_EQ(frame.At(98, 300), 0u);
    EXPECT_EQ(frame.At(400, 501), 0u);
}

}  // namespace
