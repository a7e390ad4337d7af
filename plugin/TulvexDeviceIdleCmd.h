#pragma once

#include <maya/MDGModifier.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexDeviceIdle": queued on idle by device nodes, never typed by a user. Runs on Maya's
// main thread, outside evaluation, the work a node may not do from compute: baking a take,
// writing frameRate, switching live off.
class TulvexDeviceIdleCmd : public MPxCommand {
public:
    static void* creator();
    MStatus doIt(const MArgList& args) override;
    // A run that baked is one step of the undo queue: undo takes the take's curves away and
    // brings back the curves they replaced; redo puts them back, keys and all.
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override;

private:
    MDGModifier mCurves;
    bool mBaked = false;
};
