#include "TulvexShowAddressesCmd.h"

#include "DeviceNodeArgument.h"
#include "TulvexDeviceNode.h"

void* TulvexShowAddressesCmd::creator() {
    return new TulvexShowAddressesCmd();
}

MStatus TulvexShowAddressesCmd::doIt(const MArgList& args) {
    TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
    if (node == nullptr) {
        return MStatus::kFailure;
    }
    return node->showAddressList();
}
