#include <maya/MVector.h>

#include <cmath>

OPENMAYA_MAJOR_NAMESPACE_OPEN

const MVector MVector::zero;

double MVector::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

OPENMAYA_NAMESPACE_CLOSE
