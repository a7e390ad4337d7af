#include <maya/MSelectionMask.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MSelectionMask::MSelectionMask() = default;

OPENMAYA_NAMESPACE_CLOSE
