#include "raster/vec3.h"

#include "base/numeric.h"
#include "raster/frame.h"

Vec3 MakeVec3(double x, double y, double z) {
    return Vec3{x, y, z};
}

Vec3 CrossProduct(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Normalize(Vec3& v) {
    const double length = SquareRoot(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0) {
        return;
    }
    v.x /= length;
    v.y /= length;
    v.z /= length;
}

Vec3 FaceNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 ab{a.x - b.x, a.y - b.y, a.z - b.z};
    const Vec3 ac{a.x - c.x, a.y - c.y, a.z - c.z};
    return CrossProduct(ab, ac);
}

Vec3 RotateX(const Vec3& p, const Vec3& centre, double angle) {
    const double c = Cosine(angle);
    const double s = Sine(angle);
    const double y = p.y - centre.y;
    const double z = p.z - centre.z;
    return Vec3{p.x, centre.y + c * y - s * z, centre.z + s * y + c * z};
}

Vec3 RotateY(const Vec3& p, const Vec3& centre, double angle) {
    const double c = Cosine(angle);
    const double s = Sine(angle);
    const double x = p.x - centre.x;
    const double z = p.z - centre.z;
    return Vec3{centre.x + c * x + s * z, p.y, centre.z - s * x + c * z};
}

Vec3 RotateZ(const Vec3& p, const Vec3& centre, double angle) {
    const double c = Cosine(angle);
    const double s = Sine(angle);
    const double x = p.x - centre.x;
    const double y = p.y - centre.y;
    return Vec3{centre.x + c * x - s * y, centre.y + s * x + c * y, p.z};
}

bool Project(double x, double y, double z, double d, ScreenPoint& dest) {
    if (z == d) {
        return false;  // the point lies in the viewer's plane
    }
    const double k = d / (d - z);
    const double centreX = ScreenWidth / 2;
    const double centreY = ScreenHeight / 2;
    dest.x = (x - centreX) * k + centreX;
    dest.y = (y - centreY) * k + centreY;
    return true;
}
