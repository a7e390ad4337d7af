#pragma once

#include <maya/MApiNamespace.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Only the function-set types the plug-in and the stand-in use; the values are Maya's.
class FND_EXPORT MFn {
public:
    enum Type {
        kInvalid = 0,
        kBase = 1,
        kNamedObject = 2,
        kDependencyNode = 4,
        kAnimCurve = 7,
        kAnimCurveTimeToAngular = 8,
        kAnimCurveTimeToDistance = 9,
        kAnimCurveTimeToTime = 10,
        kAnimCurveTimeToUnitless = 11,
        kDagNode = 107,
        kTransform = 110,
        kPluginDependNode = 459,
        kAttribute = 565,
        kNumericAttribute = 566,
        kUnitAttribute = 573,
        kNumericData = 592,
        kPluginClientDevice = 1078,
        kPluginThreadedDevice = 1079
    };
};

OPENMAYA_NAMESPACE_CLOSE
