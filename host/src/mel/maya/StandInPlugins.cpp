#include "StandInPlugins.h"

#include "MelInterpreter.h"

namespace mayahost {

namespace {

constexpr const char* kHumanIK = "mayaHIK";
constexpr const char* kCharacterization = "mayaCharacterization";

}  // namespace

bool StandInPlugins::standsInFor(const std::string& name) {
    return name == kHumanIK || name == kCharacterization;
}

MelResult StandInPlugins::load(const std::string& name, MelInterpreter& interpreter) {
    if (!humanIKAvailable_) {
        // What Maya says when the module is not installed.
        return MelResult::failure("Plug-in, \"" + name + "\", was not found on MAYA_PLUG_IN_PATH.");
    }
    if (name == kHumanIK && !loaded(name)) {
        MelResult sourced = interpreter.execute(kStandInHumanIKScript);
        if (!sourced.ok()) {
            return sourced;
        }
    }
    loaded_.insert(name);
    return MelResult::success();
}

}  // namespace mayahost
