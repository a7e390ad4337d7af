#include <maya/MDoubleArray.h>

#include "ArrayBuffer.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Buffer = mayahost::ArrayBuffer<double>;

MDoubleArray::MDoubleArray() : fData(nullptr), fLength(0), fCapacity(0) {}

MDoubleArray::MDoubleArray(const MDoubleArray& other) : fData(nullptr), fLength(0), fCapacity(0) {
    Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
}

MDoubleArray& MDoubleArray::operator=(const MDoubleArray& other) {
    if (this != &other) {
        Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
    }
    return *this;
}

MDoubleArray::~MDoubleArray() {
    delete[] fData;
}

double MDoubleArray::operator[](unsigned int index) const {
    return Buffer::at(fData, fLength, index);
}

double& MDoubleArray::operator[](unsigned int index) {
    return Buffer::at(fData, fLength, index);
}

unsigned int MDoubleArray::length() const {
    return fLength;
}

MStatus MDoubleArray::append(double element) {
    Buffer::append(fData, fLength, fCapacity, element);
    return MStatus::kSuccess;
}

MStatus MDoubleArray::clear() {
    delete[] fData;
    fData = nullptr;
    fLength = 0;
    fCapacity = 0;
    return MStatus::kSuccess;
}

MArrayIteratorTemplate<MDoubleArray, double> MDoubleArray::begin() {
    return {*this, 0};
}

MArrayIteratorTemplate<MDoubleArray, double> MDoubleArray::end() {
    return {*this, fLength};
}

MArrayConstIteratorTemplate<MDoubleArray, double> MDoubleArray::begin() const {
    return {*this, 0};
}

MArrayConstIteratorTemplate<MDoubleArray, double> MDoubleArray::end() const {
    return {*this, fLength};
}

OPENMAYA_NAMESPACE_CLOSE
