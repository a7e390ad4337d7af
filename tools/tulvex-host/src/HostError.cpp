#include "HostError.h"

HostError::HostError(ExitCode code, const std::string& message)
    : std::runtime_error(message), mCode(code) {}
