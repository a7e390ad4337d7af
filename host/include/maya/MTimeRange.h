#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Evaluation-cache and time-range support; the stand-in has neither, so the class stays empty.
class OPENMAYA_EXPORT MTimeRange {
public:
    MTimeRange();
};

OPENMAYA_NAMESPACE_CLOSE
