#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexStatusTimer 1" starts the once-a-second refresh of the open panels' status lines,
// "TulvexStatusTimer 0" stops it; the panels start it as they open and stop it as the last
// one closes. Sets the result to whether the timer runs afterwards.
class TulvexStatusTimerCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexStatusTimer";

    static void* creator();
    MStatus doIt(const MArgList& args) override;

private:
    MStatus switchTimer(const MArgList& args);
};
