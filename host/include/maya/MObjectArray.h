#pragma once

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MObjectArray {
public:
    MObjectArray();
    MObjectArray(unsigned int initialSize, const MObject& initialValue = MObject::kNullObj);
    MObjectArray(const MObjectArray& other);
    MObjectArray& operator=(const MObjectArray& other);
    ~MObjectArray();
    const MObject& operator[](unsigned int index) const;
    MObject& operator[](unsigned int index);
    unsigned int length() const;
    MStatus append(const MObject& element);
    MStatus clear();
    MArrayIteratorTemplate<MObjectArray, MObject> begin();
    MArrayIteratorTemplate<MObjectArray, MObject> end();
    MArrayConstIteratorTemplate<MObjectArray, MObject> begin() const;
    MArrayConstIteratorTemplate<MObjectArray, MObject> end() const;

private:
    MObject* fData;
    unsigned int fLength;
    unsigned int fCapacity;
};

OPENMAYA_NAMESPACE_CLOSE
