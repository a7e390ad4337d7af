#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Interactive selection does not exist in the stand-in; only the type is needed.
class OPENMAYA_EXPORT MSelectionMask {
public:
    MSelectionMask();
};

OPENMAYA_NAMESPACE_CLOSE
