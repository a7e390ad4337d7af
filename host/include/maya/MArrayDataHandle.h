#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <string.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MArrayDataHandle {
public:
    MArrayDataHandle(const MDataHandle& in, MStatus* ReturnStatus = NULL);
    MArrayDataHandle(const MArrayDataHandle& other);
    MArrayDataHandle& operator=(const MArrayDataHandle& other);
    unsigned int elementCount(MStatus* ReturnStatus = NULL);
    MStatus jumpToElement(unsigned int index);
    MStatus setClean();
    MStatus setAllClean();
    MArrayDataBuilder builder(MStatus* ReturnStatus = NULL);
    MStatus set(MArrayDataBuilder& builder);

private:
    friend struct hostimpl::HostAccess;
    MArrayDataHandle();
    void* fSlot;
    unsigned int fCurrent;
};

OPENMAYA_NAMESPACE_CLOSE
