#pragma once

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MMessage.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MCallbackIdArray {
public:
    MCallbackIdArray();
    MCallbackIdArray(const MCallbackIdArray& other);
    MCallbackIdArray& operator=(const MCallbackIdArray& other);
    ~MCallbackIdArray();
    MCallbackId operator[](unsigned int index) const;
    MCallbackId& operator[](unsigned int index);
    unsigned int length() const;
    MStatus append(MCallbackId element);
    MStatus clear();
    MArrayIteratorTemplate<MCallbackIdArray, MCallbackId> begin();
    MArrayIteratorTemplate<MCallbackIdArray, MCallbackId> end();
    MArrayConstIteratorTemplate<MCallbackIdArray, MCallbackId> begin() const;
    MArrayConstIteratorTemplate<MCallbackIdArray, MCallbackId> end() const;

private:
    MCallbackId* fData;
    unsigned int fLength;
    unsigned int fCapacity;
};

OPENMAYA_NAMESPACE_CLOSE
