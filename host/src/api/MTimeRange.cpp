#include <maya/MTimeRange.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MTimeRange::MTimeRange() = default;

OPENMAYA_NAMESPACE_CLOSE
