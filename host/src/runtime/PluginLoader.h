#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <map>
#include <mutex>
#include <set>
#include <string>

namespace mayahost {

// Loads plug-in modules from a path as Maya's plug-in manager does: open the module, check
// the API version it was built for, call initializePlugin with an object whose loadPath is the
// module's folder; at unload call uninitializePlugin and close the module. The entry points
// run without the loader's lock held, so what they run (MEL included) may ask about plug-ins.
class PluginLoader {
public:
    MStatus load(const std::string& modulePath);
    // Refused, calling nothing, while nodes of the plug-in's types are in the scene, unless
    // forced. Nodes only the undo queue keeps do not count: the queue is flushed first.
    MStatus unload(const std::string& modulePath, bool force = false);
    // What Maya says when it refuses: the plug-in's name and how many of its nodes remain.
    static std::string inUseText(const std::string& name, int nodes);

private:
    struct Module {
        void* handle = nullptr;
        MObject plugin;
    };
    std::mutex mutex_;  // loads and unloads come from the main thread; guards both below
    std::map<std::string, Module> modules_;
    std::set<std::string> busy_;  // modules whose entry point runs now
};

}  // namespace mayahost
