// Rotations, normals and projection in general are pinned by the show's
// golden pictures; these are the degenerate inputs it never hands them.
#include <gtest/gtest.h>

#include "raster/vec3.h"

namespace {

TEST(Vec3, ZeroLengthAndViewerPlaneLeaveTheirResultAlone) {
    Vec3 zero = MakeVec3(0, 0, 0);
    Normalize(zero);  // no division by zero: stays the zero vector, not NaN
    EXPECT_TRUE(zero.x == 0 && zero.y == 0 && zero.z == 0);
    ScreenPoint untouched{123.5, 456.5};
    EXPECT_FALSE(Project(500, 300, 600, 600, untouched));
    EXPECT_TRUE(untouched.x == 123.5 && untouched.y == 456.5);
    EXPECT_TRUE(Project(500, 300, 900, 600, untouched));  // behind the viewer: mirrored
    EXPECT_TRUE(untouched.x == 200 && untouched.y == 300);
}

}  // namespace
