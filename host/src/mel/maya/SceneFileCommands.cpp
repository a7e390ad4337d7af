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

// A value as `fileInfo -query` gives it back: escaped as in the file, not as it was set.
std::string escaped(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

MelResult fileInfoCommand(const MelInvocation& call, MelContext&) {
    Scene& scene = hostState().scene;
    const std::vector<MelValue>& given = call.positionals();
    if (call.isQuery()) {
        // Every key and value taking turns, or the value of one key (none when unset).
        std::vector<std::string> found;
        for (const auto& [key, value] : scene.fileInfo()) {
            if (given.empty()) {
                found.push_back(key);
            }
            if (given.empty() || key == given[0].asString()) {
                found.push_back(escaped(value));
            }
        }
        return MelResult::success(MelValue::ofStrings(found));
    }
    if (call.has("remove")) {
        scene.removeFileInfo(call.stringValue("remove"));
        return MelResult::success();
    }
    if (given.size() != 2) {
        // Maya's wording is not documented; the host's own.
        return MelResult::failure("fileInfo: give a keyword and a value.");
    }
    scene.setFileInfo(given[0].asString(), given[1].asString());
    return MelResult::success();
}

}  // namespace

bool SceneFileCommands::install(MelInterpreter& interpreter) {
    bool all = interpreter.registerCommand(
        MelSyntax("requires")
            .addFlag("nodeType", "nt", {Arg::String}, MelFlag::kCreate, true)
            .addFlag("dataType", "dt", {Arg::String}, MelFlag::kCreate, true)
            .setPositionals(2, 2, Arg::String),
        requiresCommand);
    all = interpreter.registerCommand(
              MelSyntax("fileInfo")
                  .addFlag("remove", "rm", {Arg::String})
                  .addFlag("referenceNode", "rfn", {Arg::String}, MelFlag::kQuery)
                  .allowModes(MelFlag::kQuery)
                  .setPositionals(0, 2, Arg::String),
              fileInfoCommand) &&
          all;
    return all;
}

}  // namespace mayahost
