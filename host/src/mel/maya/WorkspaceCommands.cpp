#include "WorkspaceCommands.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "MelInterpreter.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned C = MelFlag::kCreate;
constexpr unsigned Q = MelFlag::kQuery;

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string defaultProject() {
    const char* appDir = std::getenv("MAYA_APP_DIR");
    const char* home = std::getenv("HOME");
    const std::string base = appDir != nullptr && *appDir != '\0'
                                 ? std::string(appDir)
                                 : std::string(home != nullptr ? home : "") + "/maya";
    return withSlash(base) + "projects/default/";
}

// One project per session, as in Maya; MEL runs on the main thread only.
std::string& projectRoot() {
    static std::string root = defaultProject();
    return root;
}

MelResult workspace(const MelInvocation& call, MelContext&) {
    if (call.isQuery()) {
        if (call.has("rootDirectory")) {
            return MelResult::success(MelValue::ofString(projectRoot()));
        }
        return MelResult::failure("workspace: this host queries -rootDirectory only.");
    }
    if (call.has("openWorkspace")) {
        const std::string folder = call.values("openWorkspace")[0].asString();
        struct stat info {};
        if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return MelResult::failure("workspace: the workspace \"" + folder +
                                      "\" does not exist.");
        }
        projectRoot() = withSlash(folder);
        return MelResult::success();
    }
    return MelResult::failure("workspace: this host models -q -rootDirectory and -openWorkspace.");
}

}  // namespace

bool WorkspaceCommands::install(MelInterpreter& interpreter) {
    return interpreter.registerCommand(MelSyntax("workspace")
                                           .addFlag("rootDirectory", "rd", {}, Q)
                                           .addFlag("openWorkspace", "o", {Arg::String}, C),
                                       workspace);
}

}  // namespace mayahost
