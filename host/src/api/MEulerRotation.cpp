#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <cmath>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

MQuaternion about(int axis, double angle) {
    const double s = std::sin(angle * 0.5);
    const double c = std::cos(angle * 0.5);
    return MQuaternion(axis == 0 ? s : 0.0, axis == 1 ? s : 0.0, axis == 2 ? s : 0.0, c);
}

// The axes of each order, in the order they turn: kYZX turns about Y first.
constexpr int kAxes[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};

}  // namespace

const MEulerRotation MEulerRotation::identity;

MEulerRotation::MEulerRotation() : x(0.0), y(0.0), z(0.0), order(kXYZ) {}
MEulerRotation::MEulerRotation(const MVector& v, RotationOrder ord)
    : x(v.x), y(v.y), z(v.z), order(ord) {}
MEulerRotation::MEulerRotation(double xx, double yy, double zz, RotationOrder ord)
    : x(xx), y(yy), z(zz), order(ord) {}

MEulerRotation& MEulerRotation::operator=(const MQuaternion& q) {
    *this = q.asEulerRotation();
    return *this;
}

MQuaternion MEulerRotation::asQuaternion() const {
    const int index = static_cast<int>(order);
    const int* axes = kAxes[index >= 0 && index < 6 ? index : 0];
    const double angles[3] = {x, y, z};
    // With Maya's product the first axis to turn is the leftmost factor.
    return about(axes[0], angles[axes[0]]) * about(axes[1], angles[axes[1]]) *
           about(axes[2], angles[axes[2]]);
}

MVector MEulerRotation::asVector() const {
    return MVector(x, y, z);
}

bool MEulerRotation::isEquivalent(const MEulerRotation& other, double tolerance) const {
    return order == other.order && std::fabs(x - other.x) <= tolerance &&
           std::fabs(y - other.y) <= tolerance && std::fabs(z - other.z) <= tolerance;
}

OPENMAYA_NAMESPACE_CLOSE
