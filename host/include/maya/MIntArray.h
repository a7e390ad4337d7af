#pragma once

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MIntArray {
public:
    MIntArray();
    MIntArray(const MIntArray& other);
    MIntArray& operator=(const MIntArray& other);
    ~MIntArray();
    int operator[](unsigned int index) const;
    int& operator[](unsigned int index);
    unsigned int length() const;
    MStatus append(int element);
    MStatus clear();
    MArrayIteratorTemplate<MIntArray, int> begin();
    MArrayIteratorTemplate<MIntArray, int> end();
    MArrayConstIteratorTemplate<MIntArray, int> begin() const;
    MArrayConstIteratorTemplate<MIntArray, int> end() const;

private:
    int* fData;
    unsigned int fLength;
    unsigned int fCapacity;
};

OPENMAYA_NAMESPACE_CLOSE
