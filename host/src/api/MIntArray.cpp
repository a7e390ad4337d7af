#include <maya/MIntArray.h>

#include "ArrayBuffer.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Buffer = mayahost::ArrayBuffer<int>;

MIntArray::MIntArray() : fData(nullptr), fLength(0), fCapacity(0) {}

MIntArray::MIntArray(const MIntArray& other) : fData(nullptr), fLength(0), fCapacity(0) {
    Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
}

MIntArray& MIntArray::operator=(const MIntArray& other) {
    if (this != &other) {
        Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
    }
    return *this;
}

MIntArray::~MIntArray() {
    delete[] fData;
}

int MIntArray::operator[](unsigned int index) const {
    return Buffer::at(fData, fLength, index);
}

int& MIntArray::operator[](unsigned int index) {
    return Buffer::at(fData, fLength, index);
}

unsigned int MIntArray::length() const {
    return fLength;
}

MStatus MIntArray::append(int element) {
    Buffer::append(fData, fLength, fCapacity, element);
    return MStatus::kSuccess;
}

MStatus MIntArray::clear() {
    delete[] fData;
    fData = nullptr;
    fLength = 0;
    fCapacity = 0;
    return MStatus::kSuccess;
}

MArrayIteratorTemplate<MIntArray, int> MIntArray::begin() {
    return {*this, 0};
}

MArrayIteratorTemplate<MIntArray, int> MIntArray::end() {
    return {*this, fLength};
}

MArrayConstIteratorTemplate<MIntArray, int> MIntArray::begin() const {
    return {*this, 0};
}

MArrayConstIteratorTemplate<MIntArray, int> MIntArray::end() const {
    return {*this, fLength};
}

OPENMAYA_NAMESPACE_CLOSE
