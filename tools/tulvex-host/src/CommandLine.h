#pragma once

#include <string>
#include <vector>

#include "HostOptions.h"

// Turns the arguments into options; a HostError with kBadArguments explains what is wrong.
class CommandLine {
public:
    static HostOptions parse(const std::vector<std::string>& args);
    static std::string usage();

    CommandLine() = delete;
};
