#include <maya/MNodeCacheSetupInfo.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MNodeCacheSetupInfo::MNodeCacheSetupInfo() = default;

OPENMAYA_NAMESPACE_CLOSE
