#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MAngle {
public:
    enum Unit { kInvalid = 0, kRadians = 1, kDegrees = 2, kAngMinutes = 3, kAngSeconds = 4, kLast };

    MAngle();
    MAngle(double value, Unit unit = kRadians);
    Unit unit() const;
    double value() const;
    double asRadians() const;
    double asDegrees() const;

private:
    double fValue;
    Unit fUnit;
};

OPENMAYA_NAMESPACE_CLOSE
