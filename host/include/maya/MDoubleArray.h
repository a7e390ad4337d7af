#pragma once

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDoubleArray {
public:
    MDoubleArray();
    MDoubleArray(const MDoubleArray& other);
    MDoubleArray& operator=(const MDoubleArray& other);
    ~MDoubleArray();
    double operator[](unsigned int index) const;
    double& operator[](unsigned int index);
    unsigned int length() const;
    MStatus append(double element);
    MStatus clear();
    MArrayIteratorTemplate<MDoubleArray, double> begin();
    MArrayIteratorTemplate<MDoubleArray, double> end();
    MArrayConstIteratorTemplate<MDoubleArray, double> begin() const;
    MArrayConstIteratorTemplate<MDoubleArray, double> end() const;

private:
    double* fData;
    unsigned int fLength;
    unsigned int fCapacity;
};

OPENMAYA_NAMESPACE_CLOSE
