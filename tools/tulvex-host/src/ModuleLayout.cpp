#include "ModuleLayout.h"

#include <system_error>

#include "HostError.h"

namespace {

std::filesystem::path stageRoot(const std::filesystem::path& executable) {
    // <build>/tools/tulvex-host/tulvex-host -> <build>/Tulvex
    return executable.parent_path().parent_path().parent_path() / "Tulvex";
}

}  // namespace

ModuleLayout::ModuleLayout(const std::filesystem::path& executable, const std::string& pluginPath,
                           const std::string& scriptsDir)
    : mPluginPath(pluginPath.empty() ? stageRoot(executable) / "plug-ins" /
                                           TULVEX_HOST_PLATFORM_DIR / TULVEX_HOST_MODULE_FILE
                                     : std::filesystem::path(pluginPath)),
      mScriptsDir(scriptsDir.empty() ? stageRoot(executable) / "scripts"
                                     : std::filesystem::path(scriptsDir)) {}

std::filesystem::path ModuleLayout::runningExecutable() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw HostError(ExitCode::kModuleNotLoaded, "cannot tell where this program is (" +
                                                        error.message() +
                                                        "); give --plugin and --scripts");
    }
    return path;
}

void ModuleLayout::requirePresent() const {
    std::error_code error;
    if (!std::filesystem::is_regular_file(mPluginPath, error)) {
        throw HostError(ExitCode::kModuleNotLoaded,
                        "plug-in module not found: " + mPluginPath.string());
    }
    if (!std::filesystem::is_directory(mScriptsDir, error)) {
        throw HostError(ExitCode::kModuleNotLoaded,
                        "MEL scripts folder not found: " + mScriptsDir.string());
    }
}
