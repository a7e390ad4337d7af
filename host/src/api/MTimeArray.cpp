#include <maya/MTimeArray.h>

#include "ArrayBuffer.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Buffer = mayahost::ArrayBuffer<MTime>;

MTimeArray::MTimeArray() : fData(nullptr), fLength(0), fCapacity(0) {}

MTimeArray::MTimeArray(const MTimeArray& other) : fData(nullptr), fLength(0), fCapacity(0) {
    Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
}

MTimeArray& MTimeArray::operator=(const MTimeArray& other) {
    if (this != &other) {
        Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
    }
    return *this;
}

MTimeArray::~MTimeArray() {
    delete[] fData;
}

const MTime& MTimeArray::operator[](unsigned int index) const {
    return Buffer::at(fData, fLength, index);
}

MTime& MTimeArray::operator[](unsigned int index) {
    return Buffer::at(fData, fLength, index);
}

unsigned int MTimeArray::length() const {
    return fLength;
}

MStatus MTimeArray::append(const MTime& element) {
    Buffer::append(fData, fLength, fCapacity, element);
    return MStatus::kSuccess;
}

MStatus MTimeArray::clear() {
    delete[] fData;
    fData = nullptr;
    fLength = 0;
    fCapacity = 0;
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
