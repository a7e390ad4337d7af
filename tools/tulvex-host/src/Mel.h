#pragma once

#include <string>
#include <vector>

// MEL the host runs as Maya's UI would, on the main thread. A command that fails ends the run
// with a HostError naming it and what MEL said.
class Mel {
public:
    static void run(const std::string& command);
    static std::string text(const std::string& command);
    static int number(const std::string& command);
    static std::vector<std::string> list(const std::string& command);

    Mel() = delete;
};
