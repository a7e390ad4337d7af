#pragma once

#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTimeArray {
public:
    MTimeArray();
    MTimeArray(const MTimeArray& other);
    MTimeArray& operator=(const MTimeArray& other);
    ~MTimeArray();
    const MTime& operator[](unsigned int index) const;
    MTime& operator[](unsigned int index);
    unsigned int length() const;
    MStatus append(const MTime& element);
    MStatus clear();

private:
    MTime* fData;
    unsigned int fLength;
    unsigned int fCapacity;
};

OPENMAYA_NAMESPACE_CLOSE
