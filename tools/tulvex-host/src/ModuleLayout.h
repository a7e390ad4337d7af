#pragma once

#include <filesystem>
#include <string>

// Where the plug-in module and its scripts are. The build stages Maya's module layout under
// <build>/Tulvex and this program lives in <build>/tools/tulvex-host, so by default both are
// found from the program's own location.
class ModuleLayout {
public:
    // Empty arguments take the defaults next to `executable`.
    ModuleLayout(const std::filesystem::path& executable, const std::string& pluginPath,
                 const std::string& scriptsDir);

    // This process's executable, as the kernel knows it.
    static std::filesystem::path runningExecutable();

    const std::filesystem::path& pluginPath() const { return mPluginPath; }
    const std::filesystem::path& scriptsDir() const { return mScriptsDir; }

    // HostError kModuleNotLoaded when the module or the scripts folder is not there.
    void requirePresent() const;

private:
    std::filesystem::path mPluginPath;
    std::filesystem::path mScriptsDir;
};
