#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexFloorHeight <node>": how high (cm) the lowest foot or toe joint of the node's shown
// pose stands above y = 0, floor offset included. "Set floor" lowers the offset by it, so that
// joint then sits on the floor. Changes nothing.
class TulvexFloorHeightCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexFloorHeight";

    static void* creator();
    MStatus doIt(const MArgList& args) override;
};
