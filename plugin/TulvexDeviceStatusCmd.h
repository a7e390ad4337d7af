#pragma once

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// "TulvexDeviceStatus <node>": what the node's capture thread has seen of its stream, as a
// string array of names and values taking turns ("datagramsReceived", "1200", ...), so a
// script or an embedder finds a value by its name. Changes nothing.
class TulvexDeviceStatusCmd : public MPxCommand {
public:
    static constexpr const char* kName = "TulvexDeviceStatus";

    static void* creator();
    MStatus doIt(const MArgList& args) override;

private:
    MStatus report(const MArgList& args);
};
