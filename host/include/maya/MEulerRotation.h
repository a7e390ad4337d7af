#pragma once

#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define kEulerRotationEpsilon 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Angles in radians. The order's kXYZ is 0, unlike MTransformationMatrix::kXYZ.
class OPENMAYA_EXPORT MEulerRotation {
public:
    enum RotationOrder { kXYZ = 0, kYZX = 1, kZXY = 2, kXZY = 3, kYXZ = 4, kZYX = 5 };

    MEulerRotation();
    MEulerRotation(const MVector& v, RotationOrder ord = kXYZ);
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    MEulerRotation& operator=(const MQuaternion& q);
    MQuaternion asQuaternion() const;
    MVector asVector() const;
    bool isEquivalent(const MEulerRotation& other, double tolerance = kEulerRotationEpsilon) const;
    static const MEulerRotation identity;
    double x, y, z;
    RotationOrder order;
};

OPENMAYA_NAMESPACE_CLOSE
