#include <maya/MDGContext.h>
#include <maya/MTime.h>

#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MDGContext MDGContext::fsNormal;

MDGContext::MDGContext() : fNormal(true), fTicks(0.0) {}
MDGContext::MDGContext(const MTime& when) : fNormal(false), fTicks(when.as(MTime::k6000FPS)) {}
MDGContext::MDGContext(const MDGContext& other) = default;
MDGContext& MDGContext::operator=(const MDGContext& other) = default;
MDGContext::~MDGContext() = default;

bool MDGContext::isNormal(MStatus* ReturnStatus) const {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
    return fNormal;
}

// The normal context's time is the current time.
MStatus MDGContext::getTime(MTime& outTime) const {
    outTime = fNormal ? MTime(mayahost::hostState().timeline.current(),
                              mayahost::hostState().timeline.uiUnit())
                      : MTime(fTicks, MTime::k6000FPS);
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
