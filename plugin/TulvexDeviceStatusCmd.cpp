#include "TulvexDeviceStatusCmd.h"

#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "TulvexDeviceNode.h"

void* TulvexDeviceStatusCmd::creator() {
    return new TulvexDeviceStatusCmd();
}

MStatus TulvexDeviceStatusCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] { return report(args); });
}

MStatus TulvexDeviceStatusCmd::report(const MArgList& args) {
    TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
    if (node == nullptr) {
        return MStatus::kFailure;
    }
    MStringArray result;
    for (const auto& [name, value] : node->deviceStatus()) {
        result.append(MString(name.c_str()));
        result.append(MString(value.c_str()));
    }
    clearResult();
    setResult(result);
    return MStatus::kSuccess;
}
