#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// Runs the tool as a child with its output in files. A child still running when this is
// destroyed is killed, so no test leaves one behind.
class Subprocess {
public:
    struct Result {
        int exitCode = -1;  // -1: killed, or ended by a signal
        std::string out;
        std::string err;
    };

    explicit Subprocess(const std::vector<std::string>& args);
    ~Subprocess();
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    bool running();
    void signal(int number) const;
    std::string out() const;
    // Kills the child if it outlives the limit, which is far longer than any run should take.
    Result wait(std::chrono::milliseconds limit = std::chrono::seconds(30));
    static Result run(const std::vector<std::string>& args);

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::filesystem::path outPath_;
    std::filesystem::path errPath_;
};
