#pragma once

#include <maya/MDeprecate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MArrayDataBuilder {
public:
    MArrayDataBuilder(MDataBlock* block, const MObject& attribute, unsigned int numElements,
                      MStatus* ReturnStatus = NULL);
    MArrayDataBuilder(const MArrayDataBuilder& other);
    MArrayDataBuilder& operator=(const MArrayDataBuilder& other);
    MDataHandle addElement(unsigned int index, MStatus* ReturnStatus = NULL);

private:
    friend struct hostimpl::HostAccess;
    MArrayDataBuilder();
    void* fBuilder;
};

OPENMAYA_NAMESPACE_CLOSE
