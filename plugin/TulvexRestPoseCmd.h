#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexRestPose <node>": the rest rotations of the node's skeleton definition, as Euler
// angles X, Y, Z in degrees (rotate order xyz, the joints'), three per bone in bone order.
// The scripts pose the skeleton with them to characterise it. Changes nothing.
class TulvexRestPoseCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexRestPose";

    static void* creator();
    MStatus doIt(const MArgList& args) override;
};
