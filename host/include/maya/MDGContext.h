#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// The context an evaluation runs in: the normal one (the current time), or another time, as
// `getAttr -time`, a plug read with a context and Cached Playback's background fill use.
class OPENMAYA_EXPORT MDGContext {
public:
    MDGContext();
    MDGContext(const MTime& when);
    MDGContext(const MDGContext& other);
    MDGContext& operator=(const MDGContext& other);
    virtual ~MDGContext();
    bool isNormal(MStatus* ReturnStatus = NULL) const;
    MStatus getTime(MTime& outTime) const;
    static MDGContext fsNormal;

private:
    friend struct hostimpl::HostAccess;
    bool fNormal;
    double fTicks;  // the context's time in 1/6000 s; unused in the normal context
};

OPENMAYA_NAMESPACE_CLOSE
