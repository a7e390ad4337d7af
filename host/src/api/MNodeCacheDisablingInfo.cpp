#include <maya/MNodeCacheDisablingInfo.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MNodeCacheDisablingInfo::MNodeCacheDisablingInfo() = default;

OPENMAYA_NAMESPACE_CLOSE
