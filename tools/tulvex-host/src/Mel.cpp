#include "Mel.h"

#include <maya/MCommandResult.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>
#include <mayahost/HostControl.h>

#include "HostError.h"

namespace {

[[noreturn]] void fail(const std::string& command) {
    std::string why;
    for (const std::string& error : mayahost::takeScriptErrors()) {
        why += (why.empty() ? "" : "; ") + error;
    }
    throw HostError(ExitCode::kModuleNotLoaded,
                    "the scripts failed on '" + command + "'" + (why.empty() ? "" : ": " + why));
}

}  // namespace

void Mel::run(const std::string& command) {
    if (MGlobal::executeCommand(MString(command.c_str())) != MStatus::kSuccess) {
        fail(command);
    }
}

std::string Mel::text(const std::string& command) {
    MString result;
    if (MGlobal::executeCommand(MString(command.c_str()), result) != MStatus::kSuccess) {
        fail(command);
    }
    return result.asChar();
}

int Mel::number(const std::string& command) {
    int result = 0;
    if (MGlobal::executeCommand(MString(command.c_str()), result) != MStatus::kSuccess) {
        fail(command);
    }
    return result;
}

std::vector<std::string> Mel::list(const std::string& command) {
    MStringArray result;
    if (MGlobal::executeCommand(MString(command.c_str()), result) != MStatus::kSuccess) {
        fail(command);
    }
    std::vector<std::string> texts;
    texts.reserve(result.length());
    for (unsigned int i = 0; i < result.length(); ++i) {
        texts.emplace_back(result[i].asChar());
    }
    return texts;
}
