#pragma once

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// TulvexBakeTake -node <node> -take <N|file>: bakes a take again from its journal, as the
// bake made it, onto the node's skeleton curves. `-take` is a take number of the node, found
// beside the scene, or the path of any of a journal's files.
class TulvexBakeTakeCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexBakeTake";
    static void* creator();
    MStatus doIt(const MArgList& args) override;

private:
    MStatus bakeAgain(const MArgList& args);
};
