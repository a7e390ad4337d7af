#include "HostMel.h"

#include <sys/stat.h>

#include <cstdio>
#include <utility>

#include "ApplicationCommands.h"
#include "AttributeCommands.h"
#include "EvaluationCommands.h"
#include "JobCommands.h"
#include "SceneCommands.h"
#include "TimeCommands.h"
#include "WorkspaceCommands.h"

namespace mayahost {

namespace {

bool isFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

HostMel::HostMel() : ui_(interpreter_), pluginCommands_(interpreter_, results_) {
    interpreter_.setOutput(&output_);
    SceneCommands::install(interpreter_);
    AttributeCommands::install(interpreter_, plugFlags_);
    ApplicationCommands::install(interpreter_, *this);
    TimeCommands::install(interpreter_);
    EvaluationCommands::install(interpreter_);
    JobCommands::install(interpreter_, *this);
    WorkspaceCommands::install(interpreter_);
    ui_.tree().setRemovalListener(
        [this](const UiElement& element) { jobs_.uiRemoved(element.path()); });
    ui_.startUp(false);
}

HostMel::~HostMel() = default;

MelResult HostMel::execute(const std::string& text, bool display) {
    if (display) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    return interpreter_.execute(text);
}

MelResult HostMel::sourceFile(const std::string& fileName) {
    return interpreter_.sourceFile(fileName);
}

int HostMel::runIdle(const std::deque<std::string>& commands) {
    int ran = 0;
    for (const std::string& command : commands) {
        interpreter_.execute(command);
        ++ran;
    }
    return ran + jobs_.runPending(interpreter_);
}

void HostMel::sceneEvent(const std::string& event) {
    if (!batch()) {
        jobs_.fired(event);
    }
}

void HostMel::setBatch(bool batch) {
    jobs_.clear();
    ui_.startUp(batch);
}

void HostMel::setScriptPath(const std::vector<std::string>& folders) {
    interpreter_.scriptFolders().setFolders(folders);
}

std::string HostMel::findPluginModule(const std::string& name) const {
    if (name.find('/') != std::string::npos) {
        return isFile(name) ? name : std::string();
    }
    // Without an extension, the platform's is tried too.
    const bool hasSuffix = name.find('.') != std::string::npos;
    for (const std::string& folder : pluginPath_) {
        std::string candidate = folder;
        candidate.append("/").append(name);
        if (isFile(candidate)) {
            return candidate;
        }
        candidate.append(".so");
        if (!hasSuffix && isFile(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

}  // namespace mayahost
