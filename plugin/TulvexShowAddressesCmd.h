#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexShowAddresses <node>": a panel asks the node for its local-address list now, for
// instance when it opens; the node looks the addresses up and sends them, changed or not.
class TulvexShowAddressesCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexShowAddresses";

    static void* creator();
    MStatus doIt(const MArgList& args) override;
};
