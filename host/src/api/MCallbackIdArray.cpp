#include <maya/MCallbackIdArray.h>

#include "ArrayBuffer.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Buffer = mayahost::ArrayBuffer<MCallbackId>;

MCallbackIdArray::MCallbackIdArray() : fData(nullptr), fLength(0), fCapacity(0) {}

MCallbackIdArray::MCallbackIdArray(const MCallbackIdArray& other)
    : fData(nullptr), fLength(0), fCapacity(0) {
    Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
}

MCallbackIdArray& MCallbackIdArray::operator=(const MCallbackIdArray& other) {
    if (this != &other) {
        Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
    }
    return *this;
}

MCallbackIdArray::~MCallbackIdArray() {
    delete[] fData;
}

MCallbackId MCallbackIdArray::operator[](unsigned int index) const {
    return Buffer::at(fData, fLength, index);
}

MCallbackId& MCallbackIdArray::operator[](unsigned int index) {
    return Buffer::at(fData, fLength, index);
}

unsigned int MCallbackIdArray::length() const {
    return fLength;
}

MStatus MCallbackIdArray::append(MCallbackId element) {
    Buffer::append(fData, fLength, fCapacity, element);
    return MStatus::kSuccess;
}

MStatus MCallbackIdArray::clear() {
    delete[] fData;
    fData = nullptr;
    fLength = 0;
    fCapacity = 0;
    return MStatus::kSuccess;
}

MArrayIteratorTemplate<MCallbackIdArray, MCallbackId> MCallbackIdArray::begin() {
    return {*this, 0};
}

MArrayIteratorTemplate<MCallbackIdArray, MCallbackId> MCallbackIdArray::end() {
    return {*this, fLength};
}

MArrayConstIteratorTemplate<MCallbackIdArray, MCallbackId> MCallbackIdArray::begin() const {
    return {*this, 0};
}

MArrayConstIteratorTemplate<MCallbackIdArray, MCallbackId> MCallbackIdArray::end() const {
    return {*this, fLength};
}

OPENMAYA_NAMESPACE_CLOSE
