#include "Quaternion.h"

#include <algorithm>
#include <cmath>

Quaternion Quaternion::fromAxisAngle(const Vec3& unitAxis, double radians) {
    const double s = std::sin(radians / 2);
    return {unitAxis[0] * s, unitAxis[1] * s, unitAxis[2] * s, std::cos(radians / 2)};
}

Quaternion Quaternion::fromEulerXYZ(double rx, double ry, double rz) {
    return fromAxisAngle({0, 0, 1}, rz) * fromAxisAngle({0, 1, 0}, ry) *
           fromAxisAngle({1, 0, 0}, rx);
}

Quaternion Quaternion::operator*(const Quaternion& r) const {
    return {w * r.x + x * r.w + y * r.z - z * r.y, w * r.y - x * r.z + y * r.w + z * r.x,
            w * r.z + x * r.y - y * r.x + z * r.w, w * r.w - x * r.x - y * r.y - z * r.z};
}

Vec3 Quaternion::rotate(const Vec3& v) const {
    const Quaternion p = *this * Quaternion(v[0], v[1], v[2], 0) * conjugate();
    return {p.x, p.y, p.z};
}

double Quaternion::norm() const {
    return std::sqrt(x * x + y * y + z * z + w * w);
}

double Quaternion::angleTo(const Quaternion& other) const {
    // q and -q are the same rotation, hence the absolute value.
    const double dot = std::abs(x * other.x + y * other.y + z * other.z + w * other.w);
    return 2 * std::acos(std::min(1.0, dot / (norm() * other.norm())));
}
