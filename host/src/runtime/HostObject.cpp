#include "HostObject.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace hostimpl {

namespace {

// The part of Maya's function-set hierarchy the stand-in's objects belong to.
MFn::Type parentType(MFn::Type type) {
    switch (type) {
        case MFn::kPluginThreadedDevice:
        case MFn::kPluginClientDevice:
            return MFn::kPluginDependNode;
        case MFn::kPluginDependNode:
        case MFn::kDagNode:
        case MFn::kAnimCurve:
            return MFn::kDependencyNode;
        case MFn::kTransform:
            return MFn::kDagNode;
        case MFn::kAnimCurveTimeToAngular:
        case MFn::kAnimCurveTimeToDistance:
        case MFn::kAnimCurveTimeToTime:
        case MFn::kAnimCurveTimeToUnitless:
            return MFn::kAnimCurve;
        case MFn::kNumericAttribute:
        case MFn::kUnitAttribute:
            return MFn::kAttribute;
        case MFn::kDependencyNode:
            return MFn::kNamedObject;
        case MFn::kNamedObject:
        case MFn::kAttribute:
        case MFn::kNumericData:
            return MFn::kBase;
        default:
            return MFn::kInvalid;
    }
}

}  // namespace

HostObject::~HostObject() = default;

bool HostObject::hasFn(MFn::Type type) const {
    for (MFn::Type t = apiType(); t != MFn::kInvalid; t = parentType(t)) {
        if (t == type) {
            return true;
        }
    }
    return false;
}

const char* HostObject::typeText(MFn::Type type) {
    switch (type) {
        case MFn::kInvalid:
            return "kInvalid";
        case MFn::kBase:
            return "kBase";
        case MFn::kNamedObject:
            return "kNamedObject";
        case MFn::kDependencyNode:
            return "kDependencyNode";
        case MFn::kAnimCurve:
            return "kAnimCurve";
        case MFn::kAnimCurveTimeToAngular:
            return "kAnimCurveTimeToAngular";
        case MFn::kAnimCurveTimeToDistance:
            return "kAnimCurveTimeToDistance";
        case MFn::kAnimCurveTimeToTime:
            return "kAnimCurveTimeToTime";
        case MFn::kAnimCurveTimeToUnitless:
            return "kAnimCurveTimeToUnitless";
        case MFn::kDagNode:
            return "kDagNode";
        case MFn::kTransform:
            return "kTransform";
        case MFn::kPluginDependNode:
            return "kPluginDependNode";
        case MFn::kAttribute:
            return "kAttribute";
        case MFn::kNumericAttribute:
            return "kNumericAttribute";
        case MFn::kUnitAttribute:
            return "kUnitAttribute";
        case MFn::kNumericData:
            return "kNumericData";
        case MFn::kPluginClientDevice:
            return "kPluginClientDevice";
        case MFn::kPluginThreadedDevice:
            return "kPluginThreadedDevice";
    }
    return "kInvalid";
}

}  // namespace hostimpl
OPENMAYA_NAMESPACE_CLOSE
