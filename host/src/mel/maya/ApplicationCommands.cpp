#include "ApplicationCommands.h"

#include <maya/MTypes.h>
#include <mayahost/HostControl.h>

#include <mutex>
#include <string>
#include <vector>

#include "HostMel.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PluginRecord.h"
#include "Scene.h"
#include "StandInPlugins.h"
#include "TypeRegistry.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned C = MelFlag::kCreate;
constexpr unsigned Q = MelFlag::kQuery;
constexpr unsigned E = MelFlag::kEdit;

MelResult text(const std::string& value) {
    return MelResult::success(MelValue::ofString(value));
}

MelResult integer(int value) {
    return MelResult::success(MelValue::ofInt(value));
}

// A plug-in's internal name: its file name without folder or extension.
std::string pluginName(const std::string& nameOrPath) {
    const std::size_t slash = nameOrPath.find_last_of('/');
    const std::string file = slash == std::string::npos ? nameOrPath : nameOrPath.substr(slash + 1);
    return file.substr(0, file.find('.'));
}

// Nodes of the plug-in's types in the scene.
int nodesOf(const PluginRecord* plugin) {
    int count = 0;
    for (const NodeRecord* node : hostState().scene.nodes()) {
        count += node->type.plugin == plugin ? 1 : 0;
    }
    return count;
}

MelResult about(const MelInvocation& call, MelContext&, const HostMel& mel) {
    const std::string asked = call.flags().empty() ? "version" : call.flags()[0].name;
    if (asked == "batch") {
        return integer(mel.batch() ? 1 : 0);
    }
    if (asked == "apiVersion") {
        return integer(MAYA_API_VERSION);
    }
    if (asked == "majorVersion") {
        return text("2022");
    }
    if (asked == "minorVersion") {
        return text("0");
    }
    if (asked == "operatingSystem") {
        return text("linux64");
    }
    if (asked == "linux") {
        return integer(1);
    }
    if (asked == "windows" || asked == "macOS" || asked == "ntOS") {
        return integer(0);
    }
    // The exact version text of Maya 2022 is not documented; the host's.
    return text("2022");
}

MelResult pluginInfo(const MelInvocation& call, MelContext&, HostMel& mel) {
    HostState& host = hostState();
    if (!call.isQuery() || call.flags().empty()) {
        return MelResult::failure("pluginInfo: query a flag with -query.");
    }
    const std::string asked = call.flags()[0].name;
    if (asked == "listPlugins") {
        std::vector<std::string> names;
        for (const PluginRecord* record : host.types.plugins()) {
            if (record->loaded) {
                names.push_back(record->name);
            }
        }
        return MelResult::success(MelValue::ofStrings(names));
    }
    if (call.positionals().empty()) {
        return MelResult::failure("pluginInfo: name the plug-in to query.");
    }
    const std::string name = pluginName(call.positionals()[0].asString());
    const PluginRecord* record = host.types.findPlugin(name);
    const bool loaded = record != nullptr && record->loaded;
    if (asked == "loaded") {
        return integer(loaded || mel.standIns().loaded(name) ? 1 : 0);
    }
    if (asked == "registered") {
        return integer(record != nullptr ? 1 : 0);
    }
    if (record == nullptr) {
        // Maya's wording is not documented; the host's own.
        return MelResult::failure("Plug-in, \"" + name + "\", is not registered.");
    }
    if (asked == "name") {
        return text(record->name);
    }
    if (asked == "path") {
        return text(loaded ? record->modulePath : std::string());
    }
    if (asked == "version") {
        return text(record->version);
    }
    if (asked == "vendor") {
        return text(record->vendor);
    }
    if (asked == "unloadOk") {
        return integer(loaded && nodesOf(record) == 0 ? 1 : 0);
    }
    if (asked == "command") {
        return MelResult::success(MelValue::ofStrings(mel.pluginCommands().namesOf(record)));
    }
    std::vector<std::string> types;  // dependNode
    for (const NodeType* type : host.types.typesOf(record)) {
        types.push_back(type->name);
    }
    return MelResult::success(MelValue::ofStrings(types));
}

MelResult loadPluginCommand(const MelInvocation& call, MelContext& context, HostMel& mel) {
    std::vector<std::string> loaded;
    for (const MelValue& value : call.positionals()) {
        const std::string given = value.asString();
        if (StandInPlugins::standsInFor(pluginName(given))) {
            const std::string name = pluginName(given);
            if (mel.standIns().loaded(name)) {
                if (!call.has("quiet")) {
                    context.warning("Plug-in, \"" + name + "\", is already loaded.");
                }
                continue;
            }
            const MelResult standIn = mel.standIns().load(name, mel.interpreter());
            if (!standIn.ok()) {
                return standIn;
            }
            loaded.push_back(name);
            continue;
        }
        const std::string path = mel.findPluginModule(given);
        if (path.empty()) {
            return MelResult::failure("Plug-in, \"" + given +
                                      "\", was not found on MAYA_PLUG_IN_PATH.");
        }
        const std::string name = pluginName(path);
        const PluginRecord* record = hostState().types.findPlugin(name);
        if (record != nullptr && record->loaded) {
            if (!call.has("quiet")) {
                context.warning("Plug-in, \"" + name + "\", is already loaded.");
            }
            continue;
        }
        if (loadPlugin(path) != MStatus::kSuccess) {
            return MelResult::failure("initializePlugin function failed (" + name + ")");
        }
        loaded.push_back(name);
    }
    return MelResult::success(MelValue::ofStrings(loaded));
}

MelResult unloadPluginCommand(const MelInvocation& call, MelContext& context) {
    std::vector<std::string> unloaded;
    for (const MelValue& value : call.positionals()) {
        const std::string name = pluginName(value.asString());
        const PluginRecord* record = hostState().types.findPlugin(name);
        if (record == nullptr || !record->loaded) {
            context.warning("Plug-in, \"" + name + "\", is not loaded.");
            continue;
        }
        // Maya refuses a plug-in whose nodes are in the scene unless forced; the wording is
        // the host's. Nodes only the undo queue keeps do not count: it is flushed first.
        const int inUse = nodesOf(record);
        if (inUse > 0 && !call.has("force")) {
            return MelResult::failure(PluginLoader::inUseText(name, inUse));
        }
        if (unloadPlugin(record->modulePath, call.has("force")) != MStatus::kSuccess) {
            return MelResult::failure("uninitializePlugin function failed (" + name + ")");
        }
        unloaded.push_back(name);
    }
    return MelResult::success(MelValue::ofStrings(unloaded));
}

MelResult registerPluginResource(const MelInvocation& call, MelContext&) {
    StringTable& table = hostState().strings;
    std::lock_guard<std::mutex> lock(table.mutex);
    // A reload registers the same keys again: the newer default replaces the older.
    table.registered[{call.positionals()[0].asString(), call.positionals()[1].asString()}] =
        call.positionals()[2].asString();
    return MelResult::success();
}

MelResult getPluginResource(const MelInvocation& call, MelContext&) {
    StringTable& table = hostState().strings;
    const std::pair<std::string, std::string> key{call.positionals()[0].asString(),
                                                  call.positionals()[1].asString()};
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto localized = table.localized.find(key);
    if (localized != table.localized.end()) {
        return text(localized->second);
    }
    const auto registered = table.registered.find(key);
    if (registered != table.registered.end()) {
        return text(registered->second);
    }
    // Not documented; the host refuses a key nobody registered.
    return MelResult::failure("getPluginResource: no resource \"" + key.second +
                              "\" is registered for plug-in \"" + key.first + "\".");
}

// The host keeps no file state: a scene holding more than time1 counts as modified.
bool sceneModified() {
    return hostState().scene.nodes().size() > 1;
}

MelResult file(const MelInvocation& call, MelContext&) {
    if (call.isQuery()) {
        const std::string asked = call.flags().empty() ? std::string() : call.flags()[0].name;
        if (asked == "modified") {
            return integer(sceneModified() ? 1 : 0);
        }
        if (asked == "sceneName") {
            return text(hostState().sceneName);  // empty while untitled
        }
        return MelResult::failure("file: query -modified or -sceneName.");
    }
    if (call.has("rename") && call.has("newFile")) {
        return MelResult::failure("file: give one of -new and -rename.");
    }
    if (call.has("rename")) {
        // The scene's name only: nothing is written until it is saved.
        hostState().sceneName = call.values("rename")[0].asString();
        return text(hostState().sceneName);
    }
    if (!call.has("newFile")) {
        return MelResult::failure("file: this host models -new and -rename only.");
    }
    if (!call.has("force") && sceneModified()) {
        // Maya would ask the user to save; a headless host cannot ask.
        return MelResult::failure(
            "file: the scene has unsaved changes; use -force to discard them.");
    }
    fileNew();
    return text("untitled");
}

MelResult undoCommand(const MelInvocation&, MelContext& context) {
    UndoQueue& queue = hostState().scene.undoQueue();
    const std::string name = queue.undoName();
    if (name.empty()) {
        context.warning("There are no more commands to undo.");
    } else if (!queue.undo()) {
        return MelResult::failure("Undo failed: " + name);
    }
    return MelResult::success();
}

MelResult redoCommand(const MelInvocation&, MelContext& context) {
    UndoQueue& queue = hostState().scene.undoQueue();
    const std::string name = queue.redoName();
    if (name.empty()) {
        context.warning("There are no more commands to redo.");
    } else if (!queue.redo()) {
        return MelResult::failure("Redo failed: " + name);
    }
    return MelResult::success();
}

// An open chunk gathers what is done meanwhile into one undo step; a script that closes one
// it never opened is told. Maya's wording is not documented.
MelResult undoInfoCommand(const MelInvocation& call, MelContext& context) {
    UndoQueue& queue = hostState().scene.undoQueue();
    if (call.isQuery()) {
        if (call.has("undoName")) {
            return text(queue.undoName());
        }
        if (call.has("redoName")) {
            return text(queue.redoName());
        }
        return integer(1);  // undo is on
    }
    if (call.has("openChunk")) {
        queue.openChunk(call.stringValue("chunkName", "chunk"));
    } else if (call.has("closeChunk") && !queue.closeChunk()) {
        context.warning("undoInfo: no undo chunk is open.");
    }
    return MelResult::success();
}

}  // namespace

bool ApplicationCommands::install(MelInterpreter& interpreter, HostMel& mel) {
    HostMel* host = &mel;
    MelSyntax aboutSyntax("about");
    for (const auto& [longName, shortName] :
         std::vector<std::pair<const char*, const char*>>{{"batch", "b"},
                                                          {"version", "v"},
                                                          {"apiVersion", "api"},
                                                          {"majorVersion", "mjv"},
                                                          {"minorVersion", "mnv"},
                                                          {"operatingSystem", "os"},
                                                          {"linux", "li"},
                                                          {"windows", "win"},
                                                          {"macOS", "mac"},
                                                          {"ntOS", "nt"}}) {
        aboutSyntax.addFlag(longName, shortName);
    }
    bool all = interpreter.registerCommand(std::move(aboutSyntax),
                                           [host](const MelInvocation& call, MelContext& context) {
                                               return about(call, context, *host);
                                           });
    all = interpreter.registerCommand(MelSyntax("pluginInfo")
                                          .addFlag("loaded", "l", {}, Q)
                                          .addFlag("registered", "r", {}, Q)
                                          .addFlag("path", "p", {Arg::String}, Q)
                                          .addFlag("name", "n", {Arg::String}, Q)
                                          .addFlag("version", "v", {}, Q)
                                          .addFlag("vendor", "vd", {}, Q)
                                          .addFlag("listPlugins", "ls", {}, Q)
                                          .addFlag("dependNode", "dn", {}, Q)
                                          .addFlag("command", "c", {}, Q)
                                          .addFlag("unloadOk", "uo", {}, Q)
                                          .setPositionals(0, 1, Arg::String),
                                      [host](const MelInvocation& call, MelContext& context) {
                                          return pluginInfo(call, context, *host);
                                      }) &&
          all;
    all = interpreter.registerCommand(MelSyntax("loadPlugin")
                                          .addFlag("quiet", "qt")
                                          .setPositionals(1, MelSyntax::kUnlimited, Arg::String),
                                      [host](const MelInvocation& call, MelContext& context) {
                                          return loadPluginCommand(call, context, *host);
                                      }) &&
          all;
    all = interpreter.registerCommand(MelSyntax("unloadPlugin")
                                          .addFlag("force", "f")
                                          .setPositionals(1, MelSyntax::kUnlimited, Arg::String),
                                      unloadPluginCommand) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("registerPluginResource").setPositionals(3, 3, Arg::String),
              registerPluginResource) &&
          all;
    all =
        interpreter.registerCommand(
            MelSyntax("getPluginResource").setPositionals(2, 2, Arg::String), getPluginResource) &&
        all;
    all = interpreter.registerCommand(MelSyntax("file")
                                          .addFlag("newFile", "new", {}, C)
                                          .addFlag("force", "f", {}, C | E)
                                          .addFlag("modified", "mf", {}, Q)
                                          .addFlag("sceneName", "sn", {}, Q)
                                          .addFlag("rename", "rn", {Arg::String}, C),
                                      file) &&
          all;
    all = interpreter.registerCommand(MelSyntax("undo"), undoCommand) && all;
    all = interpreter.registerCommand(MelSyntax("redo"), redoCommand) && all;
    all = interpreter.registerCommand(MelSyntax("undoInfo")
                                          .addFlag("openChunk", "ock")
                                          .addFlag("closeChunk", "cck")
                                          .addFlag("chunkName", "cn", {Arg::String})
                                          .addFlag("state", "st", {Arg::Bool}, C | Q)
                                          .addFlag("undoName", "un", {}, Q)
                                          .addFlag("redoName", "rn", {}, Q),
                                      undoInfoCommand) &&
          all;
    all = interpreter.registerCommand(MelSyntax("flushUndo"), [](const MelInvocation&,
                                                                 MelContext&) {
        flushUndo();
        return MelResult::success();
    }) && all;
    return all;
}

}  // namespace mayahost
