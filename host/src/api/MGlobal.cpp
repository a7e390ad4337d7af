#include <maya/MCommandResult.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "HostAccess.h"
#include "HostMel.h"
#include "HostRules.h"
#include "HostState.h"
#include "MelValue.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::MelType;
using mayahost::MelValue;

namespace {

// Runs MEL at once on the main thread (R1, R2) and hands back the value it left.
MStatus run(const MString& command, bool displayEnabled, MelValue* value = nullptr) {
    mayahost::HostRules::outsideCompute("MGlobal::executeCommand");
    const mayahost::MelResult result =
        mayahost::hostState().mel->execute(command.asChar(), displayEnabled);
    if (value != nullptr) {
        *value = result.value();
    }
    return result.ok() ? MStatus::kSuccess : MStatus::kFailure;
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
    return mayahost::hostState().mel->sourceFile(fileName.asChar()).ok() ? MStatus::kSuccess
                                                                         : MStatus::kFailure;
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
    MelValue value;
    const MStatus status = run(command, displayEnabled, &value);
    *static_cast<MelValue*>(hostimpl::HostAccess::result(result)) = value;
    return status;
}

// The typed overloads fail with kInvalidParameter when the command left another type.
MStatus MGlobal::executeCommand(const MString& command, int& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MelValue value;
    MStatus status = run(command, displayEnabled, &value);
    if (status && value.type() != MelType::Int) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result = value.asInt();
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MIntArray& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MelValue value;
    MStatus status = run(command, displayEnabled, &value);
    if (status && value.type() != MelType::IntArray) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result.clear();
        for (int element : value.ints()) {
            result.append(element);
        }
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MelValue value;
    MStatus status = run(command, displayEnabled, &value);
    if (status && !value.isNumber()) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result = value.asFloat();
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MelValue value;
    MStatus status = run(command, displayEnabled, &value);
    if (status && value.type() != MelType::FloatArray && value.type() != MelType::IntArray) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result.clear();
        for (std::size_t i = 0; i < value.size(); ++i) {
            result.append(value.element(i).asFloat());
        }
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MelValue value;
    MStatus status = run(command, displayEnabled, &value);
    if (status && value.type() != MelType::StringArray) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result.clear();
        for (const std::string& text : value.strings()) {
            result.append(MString(text.c_str()));
        }
    }
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled,
                                bool /*undoEnabled*/) {
    MelValue value;
    MStatus status = run(command, displayEnabled, &value);
    if (status && (value.isArray() || value.isNone())) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        result = value.asString().c_str();
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
    mayahost::hostState().mel->pluginCommands().noteDisplayedError();
    std::fprintf(stderr, "// Error: %s\n", theError.asChar());
    record(&mayahost::ErrorLog::shown, theError);
}

OPENMAYA_NAMESPACE_CLOSE
