#pragma once

#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// What a node tells Cached Playback: whether it can be cached, and if not, why and what the
// user can do about it.
class OPENMAYA_EXPORT MNodeCacheDisablingInfo {
public:
    MNodeCacheDisablingInfo();
    void setCacheDisabled(bool value);
    bool getCacheDisabled() const;
    // Both also mark caching disabled.
    void setReason(const MString& value);
    MString getReason() const;
    void setMitigation(const MString& value);
    MString getMitigation() const;

private:
    bool fDisabled;
    MString fReason;
    MString fMitigation;
};

OPENMAYA_NAMESPACE_CLOSE
