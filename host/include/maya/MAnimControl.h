#pragma once

#include <maya/MFnAnimCurve.h>
#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYAANIM_EXPORT MAnimControl {
public:
    static MTime currentTime();
    static MStatus setCurrentTime(const MTime& newTime);
    static MStatus playForward();
    static bool isPlaying();
    static MStatus stop();
};

OPENMAYA_NAMESPACE_CLOSE
