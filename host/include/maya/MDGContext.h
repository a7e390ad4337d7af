#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// The stand-in evaluates in the normal context only.
class OPENMAYA_EXPORT MDGContext {
public:
    MDGContext();
    MDGContext(const MDGContext& other);
    MDGContext& operator=(const MDGContext& other);
    virtual ~MDGContext();
    bool isNormal(MStatus* ReturnStatus = NULL) const;
};

OPENMAYA_NAMESPACE_CLOSE
