#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "ArrayBuffer.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Buffer = mayahost::ArrayBuffer<MString>;

MStringArray::MStringArray() : fData(nullptr), fLength(0), fCapacity(0) {}

MStringArray::MStringArray(const MStringArray& other) : fData(nullptr), fLength(0), fCapacity(0) {
    Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
}

MStringArray& MStringArray::operator=(const MStringArray& other) {
    if (this != &other) {
        Buffer::assign(fData, fLength, fCapacity, other.fData, other.fLength);
    }
    return *this;
}

MStringArray::~MStringArray() {
    delete[] fData;
}

MString MStringArray::operator[](unsigned int index) const {
    return Buffer::at(fData, fLength, index);
}

MString& MStringArray::operator[](unsigned int index) {
    return Buffer::at(fData, fLength, index);
}

unsigned int MStringArray::length() const {
    return fLength;
}

MStatus MStringArray::append(const MString& element) {
    Buffer::append(fData, fLength, fCapacity, element);
    return MStatus::kSuccess;
}

MStatus MStringArray::clear() {
    delete[] fData;
    fData = nullptr;
    fLength = 0;
    fCapacity = 0;
    return MStatus::kSuccess;
}

MArrayIteratorTemplate<MStringArray, MString> MStringArray::begin() {
    return {*this, 0};
}

MArrayIteratorTemplate<MStringArray, MString> MStringArray::end() {
    return {*this, fLength};
}

MArrayConstIteratorTemplate<MStringArray, MString> MStringArray::begin() const {
    return {*this, 0};
}

MArrayConstIteratorTemplate<MStringArray, MString> MStringArray::end() const {
    return {*this, fLength};
}

OPENMAYA_NAMESPACE_CLOSE
