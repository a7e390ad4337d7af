#include "SceneFileCommands.h"

#include <cstdlib>
#include <string>

#include "HostState.h"
#include "MelInterpreter.h"
#include "PluginRecord.h"

namespace mayahost {

namespace {

using Arg = MelArgType;

MelResult requiresCommand(const MelInvocation& call, MelContext&) {
    const std::vector<MelValue>& given = call.positionals();
    const std::string what = given[0].asString();
    const std::string version = given[1].asString();
    if (what == "maya") {
        // A newer Maya's file may hold what 2022 cannot read.
        if (std::strtod(version.c_str(), nullptr) > 2022.0) {
            return MelResult::failure("requires: the file needs Maya " + version +
                                      "; this is Maya 2022.");
        }
        return MelResult::success();
    }
    // Maya would load the plug-in here; the host needs it loaded already, so a test says so.
    const PluginRecord* plugin = hostState().types.findPlugin(what);
    if (plugin == nullptr || !plugin->loaded) {
        return MelResult::failure("requires: the plug-in '" + what + "' is not loaded.");
    }
    return MelResult::success();
}

MelResult fileInfoCommand(const MelInvocation&, MelContext&) {
    return MelResult::success();  // what a file says about itself changes nothing here
}

}  // namespace

bool SceneFileCommands::install(MelInterpreter& interpreter) {
    bool all = interpreter.registerCommand(
        MelSyntax("requires")
            .addFlag("nodeType", "nt", {Arg::String}, MelFlag::kCreate, true)
            .addFlag("dataType", "dt", {Arg::String}, MelFlag::kCreate, true)
            .setPositionals(2, 2, Arg::String),
        requiresCommand);
    all = interpreter.registerCommand(MelSyntax("fileInfo").setPositionals(2, 2, Arg::String),
                                      fileInfoCommand) &&
          all;
    return all;
}

}  // namespace mayahost
