#pragma once

#include <maya/MStatus.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

#define kQuaternionEpsilon 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MQuaternion {
public:
    MQuaternion();
    MQuaternion(double xx, double yy, double zz, double ww);
    MEulerRotation asEulerRotation() const;
    MQuaternion operator*(const MQuaternion& other) const;
    bool isEquivalent(const MQuaternion& other, double tolerance = kQuaternionEpsilon) const;
    static const MQuaternion identity;
    double x, y, z, w;
};

OPENMAYA_NAMESPACE_CLOSE
