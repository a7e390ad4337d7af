#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Only the components; nothing of the plug-in uses more.
class OPENMAYA_EXPORT MFloatVector {
public:
    MFloatVector() : x(0.0f), y(0.0f), z(0.0f) {}
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    float x, y, z;
};

OPENMAYA_NAMESPACE_CLOSE
