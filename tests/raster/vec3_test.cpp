#include <gtest/gtest.h>

#include "raster/vec3.h"

namespace {

constexpr double HalfPi = 1.5707963267948966;

void ExpectNear(const Vec3& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-12);
    EXPECT_NEAR(v.y, y, 1e-12);
    EXPECT_NEAR(v.z, z, 1e-12);
}

TEST(Vec3, CrossProductNormalizeAndFaceNormal) {
    ExpectNear(CrossProduct(MakeVec3(1, 0, 0), MakeVec3(0, 1, 0)), 0, 0, 1);
    ExpectNear(CrossProduct(MakeVec3(0, 1, 0), MakeVec3(1, 0, 0)), 0, 0, -1);
    ExpectNear(CrossProduct(MakeVec3(2, 3, 4), MakeVec3(5, 6, 7)), -3, 6, -3);
    Vec3 v = MakeVec3(3, 0, 4), zero = MakeVec3(0, 0, 0);
    Normalize(v);
    Normalize(zero);
    ExpectNear(v, 0.6, 0, 0.8);
    ExpectNear(zero, 0, 0, 0);
    const Vec3 a = MakeVec3(0, 0, 0), b = MakeVec3(1, 0, 0), c = MakeVec3(0, 1, 0);
    ExpectNear(FaceNormal(a, b, c), 0, 0, 1);
    ExpectNear(FaceNormal(a, c, b), 0, 0, -1);  // exchanging two corners reverses it
    ExpectNear(FaceNormal(MakeVec3(1, 1, 1), MakeVec3(2, 1, 1), MakeVec3(1, 2, 1)), 0, 0, 1);
}

TEST(Vec3, RotationsTurnTheRightWay) {
    const Vec3 origin = MakeVec3(0, 0, 0);
    ExpectNear(RotateZ(MakeVec3(1, 0, 0), origin, HalfPi), 0, 1, 0);
    ExpectNear(RotateX(MakeVec3(0, 1, 0), origin, HalfPi), 0, 0, 1);
    ExpectNear(RotateY(MakeVec3(0, 0, 1), origin, HalfPi), 1, 0, 0);
    // About a centre other than the origin; the axis component is kept.
    const Vec3 centre = MakeVec3(400, 300, -50);
    ExpectNear(RotateZ(MakeVec3(410, 300, 7), centre, HalfPi), 400, 310, 7);
    ExpectNear(RotateX(MakeVec3(9, 300, -40), centre, -HalfPi), 9, 310, -50);
    ExpectNear(RotateY(MakeVec3(400, 5, -40), centre, HalfPi), 410, 5, -50);
}

TEST(Project, ScalesAboutTheFrameCentre) {
    ScreenPoint point{-1, -1};
    for (double z : {-600.0, 0.0, 300.0, 599.0, 1000.0}) {
        ASSERT_TRUE(Project(400, 300, z, 600, point));
        EXPECT_EQ(point.x, 400.0);
        EXPECT_EQ(point.y, 300.0);
    }
    ASSERT_TRUE(Project(500, 300, 300, 600, point));
    EXPECT_EQ(point.x, 600.0);
    EXPECT_EQ(point.y, 300.0);
    ASSERT_TRUE(Project(500, 300, -600, 600, point));
    EXPECT_EQ(point.x, 450.0);
    ASSERT_TRUE(Project(400, 200, 0, 600, point));
    EXPECT_EQ(point.y, 200.0);  // the screen plane is drawn at scale 1
    ScreenPoint untouched{123.5, 456.5};
    EXPECT_FALSE(Project(500, 300, 600, 600, untouched));
    EXPECT_EQ(untouched.x, 123.5);
    EXPECT_EQ(untouched.y, 456.5);
}

}  // namespace
