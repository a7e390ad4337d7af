#pragma once

#include <string>

#include "MelResult.h"

namespace mayahost {

// What a C++ command's handler may ask of the interpreter that runs it.
class MelContext {
public:
    virtual ~MelContext() = default;

    // Writes text as `print` does.
    virtual void print(const std::string& text) = 0;
    // Prints a warning with the calling statement's line, as `warning` does.
    virtual void warning(const std::string& message) = 0;
    // Runs a stored script (a control's command, a scriptJob's script) as independent MEL at
    // top level: none of the caller's variables are visible and its errors do not stop the
    // caller. They are printed, and the result says whether it failed.
    virtual MelResult runCallback(const std::string& script) = 0;
};

}  // namespace mayahost
