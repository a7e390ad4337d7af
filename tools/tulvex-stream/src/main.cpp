#include <iostream>
#include <string>
#include <vector>

#include "Application.h"
#include "CommandLine.h"
#include "ToolError.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine::Parsed command;
    try {
        command = CommandLine::parse(args);
    } catch (const ToolError& error) {
        return Application::reportBadArguments(error.what(), std::cerr);
    }
    return Application::run(command, std::cout, std::cerr);
}
