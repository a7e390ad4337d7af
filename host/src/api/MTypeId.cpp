#include <maya/MTypeId.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MTypeId::MTypeId() : fId(0) {}
MTypeId::MTypeId(unsigned int id) : fId(id) {}
MTypeId::MTypeId(const MTypeId& other) = default;
MTypeId& MTypeId::operator=(const MTypeId& other) = default;

bool MTypeId::operator==(const MTypeId& rhs) const {
    return fId == rhs.fId;
}

bool MTypeId::operator!=(const MTypeId& rhs) const {
    return fId != rhs.fId;
}

unsigned int MTypeId::id(MStatus* ReturnStatus) const {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
    return fId;
}

OPENMAYA_NAMESPACE_CLOSE
