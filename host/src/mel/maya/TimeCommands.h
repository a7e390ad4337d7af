#pragma once

namespace mayahost {

class MelInterpreter;

// Maya's time commands on the host's timeline: currentUnit, currentTime, playbackOptions
// and play. Times are read in the current UI unit unless they carry one ("2sec", "6ntsc").
class TimeCommands {
public:
    static bool install(MelInterpreter& interpreter);

    TimeCommands() = delete;
};

}  // namespace mayahost
