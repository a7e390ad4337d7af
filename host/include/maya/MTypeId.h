#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTypeId {
public:
    MTypeId();
    MTypeId(unsigned int id);
    MTypeId(const MTypeId& other);
    MTypeId& operator=(const MTypeId& other);
    bool operator==(const MTypeId& rhs) const;
    bool operator!=(const MTypeId& rhs) const;
    unsigned int id(MStatus* ReturnStatus = NULL) const;

private:
    unsigned int fId;
};

OPENMAYA_NAMESPACE_CLOSE
