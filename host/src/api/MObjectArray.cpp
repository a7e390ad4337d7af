#include <maya/MObjectArray.h>

#include "ArrayBuffer.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Buffer = mayahost::ArrayBuffer<MObject>;

MObjectArray::MObjectArray() : fData(nullptr), fLength(0), fCapacity(0) {}

MObjectArray::MObjectArray(unsigned int initialSize, const MObject& initialValue)
    : fData(nullptr), fLength(0), fCapacity(0) {
    for (unsigned int i = 0; i < initialSize; ++i) {
        Buffer::append(fData, fLength, fCapacity, initialValue);
    }
}

MObjectArray::MObjectArray(const MObjectArray& other) : fData(nullptr), fLength(0), fCapacity(0) {
    Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
}

MObjectArray& MObjectArray::operator=(const MObjectArray& other) {
    if (this != &other) {
        Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
    }
    return *this;
}

MObjectArray::~MObjectArray() {
    delete[] fData;
}

const MObject& MObjectArray::operator[](unsigned int index) const {
    return Buffer::at(fData, fLength, index);
}

MObject& MObjectArray::operator[](unsigned int index) {
    return Buffer::at(fData, fLength, index);
}

unsigned int MObjectArray::length() const {
    return fLength;
}

MStatus MObjectArray::append(const MObject& element) {
    Buffer::append(fData, fLength, fCapacity, element);
    return MStatus::kSuccess;
}

MStatus MObjectArray::clear() {
    delete[] fData;
    fData = nullptr;
    fLength = 0;
    fCapacity = 0;
    return MStatus::kSuccess;
}

MArrayIteratorTemplate<MObjectArray, MObject> MObjectArray::begin() {
    return {*this, 0};
}

MArrayIteratorTemplate<MObjectArray, MObject> MObjectArray::end() {
    return {*this, fLength};
}

MArrayConstIteratorTemplate<MObjectArray, MObject> MObjectArray::begin() const {
    return {*this, 0};
}

MArrayConstIteratorTemplate<MObjectArray, MObject> MObjectArray::end() const {
    return {*this, fLength};
}

OPENMAYA_NAMESPACE_CLOSE
