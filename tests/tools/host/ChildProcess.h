#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// A program run as a child with its output in files; it never outlives the test, a child
// still running when this is destroyed is killed.
class ChildProcess {
public:
    struct Result {
        int exitCode = -1;  // -1 when it had to be killed or died of a signal
        std::string out;
        std::string err;
    };

    explicit ChildProcess(const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void signal(int number) const;
    // Caps the size of any file the child writes from now on, as a full disk would.
    void limitFileSize(long bytes) const;
    std::string outSoFar() const;
    // Waits at most `limit`, then kills.
    Result wait(std::chrono::milliseconds limit = std::chrono::seconds(30));

    static Result run(const std::vector<std::string>& args,
                      std::chrono::milliseconds limit = std::chrono::seconds(30));

private:
    pid_t mPid = -1;
    bool mReaped = false;
    std::filesystem::path mOutPath;
    std::filesystem::path mErrPath;
};
