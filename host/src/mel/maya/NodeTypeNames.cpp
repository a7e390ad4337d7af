#include "NodeTypeNames.h"

#include <algorithm>

#include "HostState.h"
#include "NodeType.h"
#include "TypeRegistry.h"

namespace mayahost {

std::vector<std::string> NodeTypeNames::inherited(const NodeType& type) {
    if (type.apiType == MFn::kTransform) {
        std::vector<std::string> chain = {"containerBase", "entity", "dagNode", "transform"};
        if (type.name != "transform") {
            chain.push_back(type.name);
        }
        return chain;
    }
    if (type.curveType >= 0) {
        return {"animCurve", type.name};
    }
    if (type.isThreadedDevice()) {
        return {"threadedDevice", type.name};
    }
    return {type.name};
}

bool NodeTypeNames::derivesFrom(const NodeType& type, const std::string& typeName) {
    const std::vector<std::string> chain = inherited(type);
    return std::find(chain.begin(), chain.end(), typeName) != chain.end();
}

std::string NodeTypeNames::apiTypeName(const NodeType& type) {
    if (type.isThreadedDevice()) {
        return "kPluginThreadedDevice";
    }
    if (type.plugin != nullptr) {
        return "kPluginDependNode";
    }
    switch (type.apiType) {
        case MFn::kTransform:
            return type.name == "joint" ? "kJoint" : "kTransform";
        case MFn::kAnimCurveTimeToAngular:
            return "kAnimCurveTimeToAngular";
        case MFn::kAnimCurveTimeToDistance:
            return "kAnimCurveTimeToDistance";
        case MFn::kAnimCurveTimeToTime:
            return "kAnimCurveTimeToTime";
        case MFn::kAnimCurveTimeToUnitless:
            return "kAnimCurveTimeToUnitless";
        case MFn::kAnimCurve:
            return "kAnimCurve";
        default:
            break;
    }
    if (type.name == "time") {
        return "kTime";
    }
    if (type.conversion) {
        return type.name == "unitConversion"
                   ? "kUnitConversion"
                   : (type.name == "timeToUnitConversion" ? "kTimeToUnitConversion"
                                                          : "kUnitToTimeConversion");
    }
    return "kDependencyNode";
}

bool NodeTypeNames::known(const std::string& typeName) {
    static const char* const kAbstract[] = {"containerBase", "entity",    "dagNode",
                                            "transform",     "animCurve", "threadedDevice"};
    for (const char* name : kAbstract) {
        if (typeName == name) {
            return true;
        }
    }
    return hostState().types.find(typeName) != nullptr;
}

}  // namespace mayahost
