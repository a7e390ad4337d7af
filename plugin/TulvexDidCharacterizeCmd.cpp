#include "TulvexDidCharacterizeCmd.h"

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "TulvexDeviceNode.h"

void* TulvexDidCharacterizeCmd::creator() {
    return new TulvexDidCharacterizeCmd();
}

MStatus TulvexDidCharacterizeCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread("TulvexDidCharacterize", [&args] {
        TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
        return node == nullptr ? MStatus(MStatus::kFailure) : node->CharacterizationComplete();
    });
}
