#pragma once

#include <math.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

#define MVector_kTol 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MVector {
public:
    MVector() : x(0.0), y(0.0), z(0.0) {}
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    double length() const;
    static const MVector zero;
    double x, y, z;
};

OPENMAYA_NAMESPACE_CLOSE

// Maya's header brings these in at its end; user code may rely on it.
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MPoint.h>
