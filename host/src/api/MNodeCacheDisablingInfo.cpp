#include <maya/MNodeCacheDisablingInfo.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MNodeCacheDisablingInfo::MNodeCacheDisablingInfo() : fDisabled(false) {}

void MNodeCacheDisablingInfo::setCacheDisabled(bool value) {
    fDisabled = value;
}

bool MNodeCacheDisablingInfo::getCacheDisabled() const {
    return fDisabled;
}

void MNodeCacheDisablingInfo::setReason(const MString& value) {
    fReason = value;
    fDisabled = true;
}

MString MNodeCacheDisablingInfo::getReason() const {
    return fReason;
}

void MNodeCacheDisablingInfo::setMitigation(const MString& value) {
    fMitigation = value;
    fDisabled = true;
}

MString MNodeCacheDisablingInfo::getMitigation() const {
    return fMitigation;
}

OPENMAYA_NAMESPACE_CLOSE
