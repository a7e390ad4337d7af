#pragma once

#include <stdexcept>
#include <string>

#include "ExitCode.h"

// A failure that ends the command: its message is shown as is and its code is the exit code.
class ToolError : public std::runtime_error {
public:
    ToolError(ExitCode code, const std::string& message)
        : std::runtime_error(message), code_(code) {}

    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};
