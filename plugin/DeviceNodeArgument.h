#pragma once

#include <maya/MArgList.h>

class TulvexDeviceNode;

// The one argument of the commands that address a device node: its name. Main thread.
class DeviceNodeArgument {
public:
    // The device node named by the only argument, or null after showing the error: wrong
    // number of arguments, no node of that name, or a node of another type.
    static TulvexDeviceNode* resolve(const MArgList& args);

    DeviceNodeArgument() = delete;
};
