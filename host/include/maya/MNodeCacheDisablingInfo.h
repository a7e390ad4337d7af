#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Evaluation-cache support; the stand-in has no evaluation cache, so the class stays empty.
class OPENMAYA_EXPORT MNodeCacheDisablingInfo {
public:
    MNodeCacheDisablingInfo();
};

OPENMAYA_NAMESPACE_CLOSE
