#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Only the components; nothing of the plug-in uses more.
class OPENMAYA_EXPORT MPoint {
public:
    MPoint() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    double x, y, z, w;
};

OPENMAYA_NAMESPACE_CLOSE
