#pragma once

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MStringArray {
public:
    MStringArray();
    MStringArray(const MStringArray& other);
    MStringArray& operator=(const MStringArray& other);
    ~MStringArray();
    MString operator[](unsigned int index) const;
    MString& operator[](unsigned int index);
    unsigned int length() const;
    MStatus append(const MString& element);
    MStatus clear();
    MArrayIteratorTemplate<MStringArray, MString> begin();
    MArrayIteratorTemplate<MStringArray, MString> end();
    MArrayConstIteratorTemplate<MStringArray, MString> begin() const;
    MArrayConstIteratorTemplate<MStringArray, MString> end() const;

private:
    MString* fData;
    unsigned int fLength;
    unsigned int fCapacity;
};

OPENMAYA_NAMESPACE_CLOSE
