#include "TulvexDidCharacterizeCmd.h"

#include "DeviceNodeArgument.h"
#include "TulvexDeviceNode.h"

void* TulvexDidCharacterizeCmd::creator() {
    return new TulvexDidCharacterizeCmd();
}

MStatus TulvexDidCharacterizeCmd::doIt(const MArgList& args) {
    TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
    if (node == nullptr) {
        return MStatus::kFailure;
    }
    return node->CharacterizationComplete();
}
