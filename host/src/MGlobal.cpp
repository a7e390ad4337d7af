#include <maya/MGlobal.h>

#include <cstdio>
#include <mutex>

#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MStatus MGlobal::executeCommandOnIdle(const MString& command, bool displayEnabled) {
    if (displayEnabled) {
        std::printf("%s\n", command.asChar());
    }
    mayahost::IdleQueue& queue = mayahost::hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.commands.emplace_back(command.asChar());
    return MStatus::kSuccess;
}

void MGlobal::displayError(const MString& theError) {
    std::fprintf(stderr, "// Error: %s\n", theError.asChar());
    mayahost::ErrorLog& log = mayahost::hostState().errors;
    std::lock_guard<std::mutex> lock(log.mutex);
    log.shown.emplace_back(theError.asChar());
}

OPENMAYA_NAMESPACE_CLOSE
