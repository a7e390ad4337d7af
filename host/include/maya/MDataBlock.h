#pragma once

#include <maya/MArrayDataHandle.h>
#include <maya/MDGContext.h>
#include <maya/MDataHandle.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDataBlock {
public:
    MDataBlock(const MDataBlock& in);
    virtual ~MDataBlock();
    MDataHandle inputValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MDataHandle inputValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MStatus setClean(const MPlug& plug);
    MStatus setClean(const MObject& attribute);
    MDGContext& context(MStatus* ReturnStatus = NULL);

private:
    friend struct hostimpl::HostAccess;
    MDataBlock();
    MDataBlock& operator=(const MDataBlock& other);
    void* fBlock;
};

OPENMAYA_NAMESPACE_CLOSE
