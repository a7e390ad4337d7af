#include <maya/MDGContext.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MDGContext::MDGContext() = default;
MDGContext::MDGContext(const MDGContext& other) = default;
MDGContext& MDGContext::operator=(const MDGContext& other) = default;
MDGContext::~MDGContext() = default;

bool MDGContext::isNormal(MStatus* ReturnStatus) const {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
    return true;
}

OPENMAYA_NAMESPACE_CLOSE
