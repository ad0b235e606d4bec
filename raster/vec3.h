#pragma once
// 3D vectors in frame pixels (x right, y down, z toward the viewer), rotation
// about axis-parallel lines and perspective projection onto the frame.
struct Vec3 {
    double x, y, z;
};

struct ScreenPoint {
    double x, y;
};

Vec3 MakeVec3(double x, double y, double z);
Vec3 CrossProduct(const Vec3& a, const Vec3& b);
void Normalize(Vec3& v);                                       // left unchanged when its length is 0
Vec3 FaceNormal(const Vec3& a, const Vec3& b, const Vec3& c);  // (a - b) x (a - c)

Vec3 RotateX(const Vec3& p, const Vec3& centre, double angle);
Vec3 RotateY(const Vec3& p, const Vec3& centre, double angle);
Vec3 RotateZ(const Vec3& p, const Vec3& centre, double angle);

// Projects for a viewer at z = d on the axis through the frame centre. When
// z = d there is no point: returns false and leaves dest untouched.
bool Project(double x, double y, double z, double d, ScreenPoint& dest);
