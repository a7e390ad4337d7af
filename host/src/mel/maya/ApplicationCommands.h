#pragma once

namespace mayahost {

class HostMel;
class MelInterpreter;

// Maya's application commands on the host: about, pluginInfo, loadPlugin, unloadPlugin,
// registerPluginResource, getPluginResource, file (-new and its queries), undo and
// flushUndo. Each parses its call and delegates to the host's plug-in loader, string table,
// scene or undo queue.
class ApplicationCommands {
public:
    static bool install(MelInterpreter& interpreter, HostMel& mel);

    ApplicationCommands() = delete;
};

}  // namespace mayahost
