#include "EntryPointGuard.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include "TulvexMessages.h"
#include "UiCommandText.h"

std::string EntryPointGuard::describe(const std::string& format, const char* entryPoint,
                                      const char* what) {
    std::string text = format;
    std::size_t from = 0;
    for (const char* part : {entryPoint, what}) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) {
            break;
        }
        text.replace(at, 2, part);
        from = at + std::char_traits<char>::length(part);
    }
    return text;
}

void EntryPointGuard::reportOnMainThread(const char* entryPoint, const char* what) noexcept {
    try {
        const MString format = TulvexMessages::lookup(TulvexMessages::kUnexpectedError);
        MGlobal::displayError(MString(describe(format.asChar(), entryPoint, what).c_str()));
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to report with
    }
}

void EntryPointGuard::reportQueued(const std::string& format, const char* entryPoint,
                                   const char* what) noexcept {
    try {
        const std::string command = UiCommandText::error(describe(format, entryPoint, what));
        MGlobal::executeCommandOnIdle(MString(command.c_str()), false);
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to report with
    }
}
