#pragma once

#include <set>
#include <string>

#include "MelResult.h"

namespace mayahost {

class MelInterpreter;

// Plug-ins Maya ships that the host stands in for without a module: `loadPlugin mayaHIK`
// (and mayaCharacterization, which comes with it) sources the stand-in HumanIK procedures.
// A test can make HumanIK missing, as on an install without it.
//
// Threads: main thread only, with the MEL engine that owns it.
class StandInPlugins {
public:
    // Whether the host stands in for a plug-in of that name (file name without folder or
    // extension).
    static bool standsInFor(const std::string& name);

    // Loads it: defines its procedures on first load. Fails, changing nothing, while HumanIK
    // is made missing.
    MelResult load(const std::string& name, MelInterpreter& interpreter);
    bool loaded(const std::string& name) const { return loaded_.count(name) != 0; }

    void setHumanIKAvailable(bool available) { humanIKAvailable_ = available; }

private:
    std::set<std::string> loaded_;
    bool humanIKAvailable_ = true;
};

// The stand-in HumanIK procedures (StandInHumanIK.mel, compiled in).
extern const char* const kStandInHumanIKScript;

}  // namespace mayahost
