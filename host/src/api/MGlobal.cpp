#include <maya/MCommandResult.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <sys/stat.h>
#include <cstdio>
#include <mutex>
#include <string>

#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "ResultValue.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::ResultValue;

namespace {

bool isFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

MStatus run(const MString& command, bool displayEnabled) {
    mayahost::HostRules::outsideCompute("MGlobal::executeCommand");
    return mayahost::hostState().mel.execute(command.asChar(), displayEnabled);
}

template <typename Array, typename Element>
void fillNumbers(Array& out, const ResultValue& result) {
    out.clear();
    for (double number : result.numbers) {
        out.append(static_cast<Element>(number));
    }
}

void record(std::vector<std::string> mayahost::ErrorLog::*list, const MString& text) {
    mayahost::ErrorLog& log = mayahost::hostState().errors;
    std::lock_guard<std::mutex> lock(log.mutex);
    (log.*list).emplace_back(text.asChar());
}

}  // namespace

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list) {
    mayahost::HostRules::mainThreadCall("MGlobal::getSelectionListByName");
    return list.add(name);
}

MStatus MGlobal::sourceFile(const MString& fileName) {
    mayahost::HostRules::outsideCompute("MGlobal::sourceFile");
    mayahost::MelRunner& mel = mayahost::hostState().mel;
    const std::string name = fileName.asChar();
    std::string resolved;
    if (!name.empty() && name.front() == '/') {
        resolved = isFile(name) ? name : std::string();
    } else if (!name.empty()) {
        for (const std::string& folder : mel.scriptPath()) {
            std::string candidate = folder;
            candidate.append("/").append(name);
            if (isFile(candidate)) {
                resolved = candidate;
                break;
            }
        }
    }
    if (resolved.empty()) {
        displayError(MString("Cannot find file \"") + fileName + "\" for source statement.");
        return MStatus::kFailure;
    }
    // The stand-in records what would be sourced; it does not interpret MEL files.
    mel.recordSourced(resolved);
    return MStatus::kSuccess;
}

MStatus MGlobal::executeCommandOnIdle(const MString& command, bool displayEnabled) {
    if (displayEnabled) {
        std::printf("%s\n", command.asChar());
    }
    mayahost::IdleQueue& queue = mayahost::hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.commands.emplace_back(command.asChar());
    return MStatus::kSuccess;
}

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool /*undoEnabled*/) {
    return run(command, displayEnabled);
}

MStatus MGlobal::executeCommand(const MString& command, MCommandResult& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    const MStatus status = run(command, displayEnabled);
    *static_cast<ResultValue*>(hostimpl::HostAccess::result(result)) = mayahost::currentResult();
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, int& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MStatus status = run(command, displayEnabled);
    const ResultValue& value = mayahost::currentResult();
    if (status && (value.kind != ResultValue::Kind::Int || value.numbers.empty())) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result = static_cast<int>(value.numbers.front());
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MIntArray& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    const MStatus status = run(command, displayEnabled);
    if (status) {
        fillNumbers<MIntArray, int>(result, mayahost::currentResult());
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MStatus status = run(command, displayEnabled);
    const ResultValue& value = mayahost::currentResult();
    if (status && (value.kind == ResultValue::Kind::String || value.numbers.empty())) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result = value.numbers.front();
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    const MStatus status = run(command, displayEnabled);
    if (status) {
        fillNumbers<MDoubleArray, double>(result, mayahost::currentResult());
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    const MStatus status = run(command, displayEnabled);
    if (status) {
        result.clear();
        for (const std::string& text : mayahost::currentResult().strings) {
            result.append(MString(text.c_str()));
        }
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    const MStatus status = run(command, displayEnabled);
    if (status) {
        result = mayahost::currentResult().text().c_str();
    }
    return status;
}

MString MGlobal::executeCommandStringResult(const MString& command, bool displayEnabled,
                                            bool undoEnabled, MStatus* ResultStatus) {
    MString result;
    const MStatus status = executeCommand(command, result, displayEnabled, undoEnabled);
    if (ResultStatus != nullptr) {
        *ResultStatus = status;
    }
    return result;
}

void MGlobal::displayInfo(const MString& theMessage) {
    mayahost::HostRules::mainThreadCall("MGlobal::displayInfo");
    std::printf("%s\n", theMessage.asChar());
    record(&mayahost::ErrorLog::infos, theMessage);
}

void MGlobal::displayWarning(const MString& theWarning) {
    mayahost::HostRules::mainThreadCall("MGlobal::displayWarning");
    std::fprintf(stderr, "// Warning: %s\n", theWarning.asChar());
    record(&mayahost::ErrorLog::warnings, theWarning);
}

void MGlobal::displayError(const MString& theError) {
    mayahost::HostRules::mainThreadCall("MGlobal::displayError");
    std::fprintf(stderr, "// Error: %s\n", theError.asChar());
    record(&mayahost::ErrorLog::shown, theError);
}

OPENMAYA_NAMESPACE_CLOSE
