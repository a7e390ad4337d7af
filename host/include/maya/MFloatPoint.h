#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Only the components; nothing of the plug-in uses more.
class OPENMAYA_EXPORT MFloatPoint {
public:
    MFloatPoint() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    MFloatPoint(float xx, float yy, float zz = 0.0f, float ww = 1.0f)
        : x(xx), y(yy), z(zz), w(ww) {}
    float x, y, z, w;
};

OPENMAYA_NAMESPACE_CLOSE
