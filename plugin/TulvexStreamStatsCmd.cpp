#include "TulvexStreamStatsCmd.h"

#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "DeviceNodeArgument.h"
#include "TulvexDeviceNode.h"

void* TulvexStreamStatsCmd::creator() {
    return new TulvexStreamStatsCmd();
}

MStatus TulvexStreamStatsCmd::doIt(const MArgList& args) {
    TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
    if (node == nullptr) {
        return MStatus::kFailure;
    }
    MStringArray result;
    for (const auto& [name, value] : node->streamStatistics()) {
        result.append(MString(name.c_str()));
        result.append(MString(value.c_str()));
    }
    clearResult();
    setResult(result);
    return MStatus::kSuccess;
}
