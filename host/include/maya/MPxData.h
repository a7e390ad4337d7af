#pragma once

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Base of plug-in data types. The stand-in has no typed attributes, so nothing stores these.
class OPENMAYA_EXPORT MPxData {
public:
    MPxData();
    virtual ~MPxData();
    virtual void copy(const MPxData& src) = 0;
    virtual MTypeId typeId() const = 0;
    virtual MString name() const = 0;

private:
    MPxData(const MPxData& other);
    MPxData& operator=(const MPxData& other);
};

OPENMAYA_NAMESPACE_CLOSE
