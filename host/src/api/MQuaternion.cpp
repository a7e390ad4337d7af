#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>

#include <cmath>

OPENMAYA_MAJOR_NAMESPACE_OPEN

const MQuaternion MQuaternion::identity;

MQuaternion::MQuaternion() : x(0.0), y(0.0), z(0.0), w(1.0) {}
MQuaternion::MQuaternion(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}

MEulerRotation MQuaternion::asEulerRotation() const {
    // The entries of Maya's row-vector matrix R that an XYZ decomposition needs; built as
    // for a unit quaternion even when it is not one, so NaN stays NaN.
    const double r00 = 1.0 - 2.0 * (y * y + z * z);
    const double r01 = 2.0 * (x * y + z * w);
    const double r02 = 2.0 * (x * z - y * w);
    const double r12 = 2.0 * (y * z + x * w);
    const double r22 = 1.0 - 2.0 * (x * x + y * y);
    // std::clamp would turn NaN into a bound; the comparisons below let it through.
    double s = -r02;
    if (s > 1.0) {
        s = 1.0;
    } else if (s < -1.0) {
        s = -1.0;
    }
    return MEulerRotation(std::atan2(r12, r22), std::asin(s), std::atan2(r01, r00),
                          MEulerRotation::kXYZ);
}

// Maya composes like its row-vector matrices: a * b turns by a first, then by b, which is
// b (x) a in Hamilton's column-vector product.
MQuaternion MQuaternion::operator*(const MQuaternion& other) const {
    const MQuaternion& a = *this;
    const MQuaternion& b = other;
    return MQuaternion(b.w * a.x + a.w * b.x + (b.y * a.z - b.z * a.y),
                       b.w * a.y + a.w * b.y + (b.z * a.x - b.x * a.z),
                       b.w * a.z + a.w * b.z + (b.x * a.y - b.y * a.x),
                       b.w * a.w - (b.x * a.x + b.y * a.y + b.z * a.z));
}

bool MQuaternion::isEquivalent(const MQuaternion& other, double tolerance) const {
    return std::fabs(x - other.x) <= tolerance && std::fabs(y - other.y) <= tolerance &&
           std::fabs(z - other.z) <= tolerance && std::fabs(w - other.w) <= tolerance;
}

OPENMAYA_NAMESPACE_CLOSE
