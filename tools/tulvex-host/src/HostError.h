#pragma once

#include <stdexcept>
#include <string>

#include "ExitCode.h"

// A failure that ends the run with its own exit code and a message for the user.
class HostError : public std::runtime_error {
public:
    HostError(ExitCode code, const std::string& message);

    ExitCode code() const { return mCode; }

private:
    ExitCode mCode;
};
