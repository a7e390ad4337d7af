#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexDeviceIdle": queued on idle by device nodes, never typed by a user. Runs on Maya's
// main thread, outside evaluation, the work a node may not do from compute: baking a take,
// writing frameRate, switching live off.
class TulvexDeviceIdleCmd : public MPxCommand {
public:
    static void* creator();
    MStatus doIt(const MArgList& args) override;
};
