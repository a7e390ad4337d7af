#pragma once

#include <maya/MDeprecate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Only the rotation-order enum is used. Its kXYZ is 1, unlike MEulerRotation::kXYZ.
class OPENMAYA_EXPORT MTransformationMatrix {
public:
    enum RotationOrder {
        kInvalid = 0,
        kXYZ = 1,
        kYZX = 2,
        kZXY = 3,
        kXZY = 4,
        kYXZ = 5,
        kZYX = 6,
        kLast = 7
    };
};

OPENMAYA_NAMESPACE_CLOSE
