#pragma once

namespace mayahost {

class HostMel;
class MelInterpreter;

// scriptJob and evalDeferred: MEL kept to run later, at idle time. Jobs go to the engine's
// ScriptJobs; deferred scripts join the host's idle queue, behind what is already there
// unless -evaluateNext.
class JobCommands {
public:
    static bool install(MelInterpreter& interpreter, HostMel& mel);

    JobCommands() = delete;
};

}  // namespace mayahost
