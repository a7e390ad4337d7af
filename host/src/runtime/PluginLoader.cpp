#include "PluginLoader.h"

#include <dlfcn.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

#include <cstring>

#include "HostAccess.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PluginRecord.h"

namespace mayahost {

namespace {

using EntryPoint = MStatus (*)(MObject);

// The mangled names Maya looks up: the namespace is part of them.
constexpr const char* kInitialize =
    "_Z16initializePluginN8Autodesk4Maya16OpenMaya202200007MObjectE";
constexpr const char* kUninitialize =
    "_Z18uninitializePluginN8Autodesk4Maya16OpenMaya202200007MObjectE";
constexpr const char* kApiVersion = "20220000";

void showError(const std::string& text) {
    MGlobal::displayError(MString(text.c_str()));
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string stemOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    return file.substr(0, file.find('.'));
}

// Nodes of the plug-in's types in the scene; the undo queue's are not in it.
int nodesInScene(const PluginRecord* plugin) {
    int count = 0;
    for (const NodeRecord* node : hostState().scene.nodes()) {
        count += node->type.plugin == plugin ? 1 : 0;
    }
    return count;
}

EntryPoint entryPoint(void* handle, const char* name) {
    return reinterpret_cast<EntryPoint>(dlsym(handle, name));
}

}  // namespace

MStatus PluginLoader::load(const std::string& modulePath) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (modules_.count(modulePath) != 0 || busy_.count(modulePath) != 0) {
            showError("Plug-in " + modulePath + " is already loaded.");
            return MStatus::kFailure;
        }
        busy_.insert(modulePath);
    }
    struct Done {
        PluginLoader& loader;
        const std::string& path;
        ~Done() {
            std::lock_guard<std::mutex> lock(loader.mutex_);
            loader.busy_.erase(path);
        }
    } done{*this, modulePath};
    void* handle = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        showError("Unable to load plug-in " + modulePath + ": " + (error != nullptr ? error : ""));
        return MStatus::kFailure;
    }
    const auto* version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    const EntryPoint initialize = entryPoint(handle, kInitialize);
    if (version == nullptr || std::strcmp(version, kApiVersion) != 0 || initialize == nullptr ||
        entryPoint(handle, kUninitialize) == nullptr) {
        showError("Plug-in " + modulePath + " was not built for this version of Maya.");
        dlclose(handle);
        return MStatus::kFailure;
    }
    PluginRecord* record = hostState().types.plugin(stemOf(modulePath), folderOf(modulePath));
    MObject plugin = HostAccess::makeObject(record);
    const MStatus status = initialize(plugin);
    if (status != MStatus::kSuccess) {
        showError("initializePlugin function failed (" + modulePath + ")");
        // What it registered before failing points into the module: keep it open then.
        if (!hostState().types.hasTypesOf(record)) {
            dlclose(handle);
        }
        return status;
    }
    record->loaded = true;
    record->modulePath = modulePath;
    std::lock_guard<std::mutex> lock(mutex_);
    modules_[modulePath] = Module{handle, plugin};
    return MStatus::kSuccess;
}

std::string PluginLoader::inUseText(const std::string& name, int nodes) {
    return "Plug-in, \"" + name + "\", is in use: " + std::to_string(nodes) +
           " node(s) of its types are in the scene. It was not unloaded.";
}

MStatus PluginLoader::unload(const std::string& modulePath, bool force) {
    Module module;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = modules_.find(modulePath);
        if (found == modules_.end() || busy_.count(modulePath) != 0) {
            showError("Plug-in " + modulePath + " is not loaded.");
            return MStatus::kFailure;
        }
        const int inUse = nodesInScene(HostAccess::plugin(found->second.plugin));
        if (inUse > 0 && !force) {
            showError(inUseText(stemOf(modulePath), inUse));
            return MStatus::kFailure;
        }
        module = found->second;
        modules_.erase(found);
        busy_.insert(modulePath);
    }
    struct Done {
        PluginLoader& loader;
        const std::string& path;
        ~Done() {
            std::lock_guard<std::mutex> lock(loader.mutex_);
            loader.busy_.erase(path);
        }
    } done{*this, modulePath};
    PluginRecord* record = HostAccess::plugin(module.plugin);
    record->loaded = false;
    // The undo queue may keep the plug-in's nodes, whose code goes with the module: Maya
    // lets go of it before a plug-in is unloaded.
    hostState().scene.flushUndo();
    const MStatus status = entryPoint(module.handle, kUninitialize)(module.plugin);
    // A node type left registered (its nodes still exist) keeps the module in use.
    if (!hostState().types.hasTypesOf(record)) {
        dlclose(module.handle);
    }
    return status;
}

}  // namespace mayahost
