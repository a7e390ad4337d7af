#include "TulvexShowAddressesCmd.h"

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "TulvexDeviceNode.h"

void* TulvexShowAddressesCmd::creator() {
    return new TulvexShowAddressesCmd();
}

MStatus TulvexShowAddressesCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [&args] {
        TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
        return node == nullptr ? MStatus(MStatus::kFailure) : node->showAddressList();
    });
}
