#pragma once

#include <array>

using Vec3 = std::array<double, 3>;

// Rotation as a unit quaternion. Doubles here; the wire carries floats, converted at the end.
class Quaternion {
public:
    double x = 0;
    double y = 0;
    double z = 0;
    double w = 1;

    Quaternion() = default;
    Quaternion(double qx, double qy, double qz, double qw) : x(qx), y(qy), z(qz), w(qw) {}

    static Quaternion fromAxisAngle(const Vec3& unitAxis, double radians);
    // Rotate order XYZ: X is applied first, then Y, then Z (q = qz * qy * qx).
    static Quaternion fromEulerXYZ(double rx, double ry, double rz);

    Quaternion operator*(const Quaternion& rhs) const;
    Quaternion conjugate() const { return {-x, -y, -z, w}; }
    Vec3 rotate(const Vec3& v) const;
    double norm() const;
    // Angle in radians of the rotation that takes this one to other, in [0, pi].
    double angleTo(const Quaternion& other) const;
};
