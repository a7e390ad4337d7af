#pragma once

#include <iosfwd>

#include "CommandLine.h"

// Runs a parsed command and turns its failures into messages and exit codes.
class Application {
public:
    static int run(const CommandLine::Parsed& command, std::ostream& out, std::ostream& err);
    // For arguments that did not parse: the message and the usage, exit code 2.
    static int reportBadArguments(const std::string& message, std::ostream& err);
};
