#pragma once

#include <string>
#include <vector>

// The program: options, one host session, its summary, and the exit code for the result.
class Application {
public:
    static int run(const std::vector<std::string>& args);

    Application() = delete;
};
