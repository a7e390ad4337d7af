#include <maya/MAngle.h>

#include <cmath>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

// Radians in one unit; 0 for units without a meaning.
double radiansPer(MAngle::Unit unit) {
    const double degree = 3.14159265358979323846 / 180.0;
    switch (unit) {
        case MAngle::kRadians:
            return 1.0;
        case MAngle::kDegrees:
            return degree;
        case MAngle::kAngMinutes:
            return degree / 60.0;
        case MAngle::kAngSeconds:
            return degree / 3600.0;
        default:
            return 0.0;
    }
}

}  // namespace

MAngle::MAngle() : fValue(0.0), fUnit(kRadians) {}
MAngle::MAngle(double value, Unit unit) : fValue(value), fUnit(unit) {}

MAngle::Unit MAngle::unit() const {
    return fUnit;
}

double MAngle::value() const {
    return fValue;
}

double MAngle::asRadians() const {
    return fValue * radiansPer(fUnit);
}

double MAngle::asDegrees() const {
    return asRadians() / radiansPer(kDegrees);
}

OPENMAYA_NAMESPACE_CLOSE
