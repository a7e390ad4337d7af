#pragma once

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

#include <string>

// TulvexTakes -node <node>: the node's journaled takes beside the scene, one string per take
// (see TakeList::rowText). TulvexTakes -unfinished: the scene's takes whose writer died during
// the take. TulvexTakes -recover <N|file> [-node <node>]: bakes such a take from its journal
// onto the node it was recorded by (or the one given) and marks it recovered; a take number
// is the given node's. Main thread.
class TulvexTakesCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexTakes";
    static void* creator();
    MStatus doIt(const MArgList& args) override;

    struct Request {
        std::string node;
        bool unfinished = false;
        std::string recover;
    };
    // False, with the reason in `error`, for arguments that ask for nothing or too much.
    static bool parse(const MArgList& args, Request& request, std::string& error);
    // The journal folder of the scene open now.
    static std::string sceneJournalFolder();
    // Shows what TulvexTakes -unfinished finds, in the Script Editor and the panels.
    static void reportUnfinished();

private:
    MStatus list(const Request& request);
    MStatus recover(const Request& request);
};
