#include "ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

std::atomic<int> childCount{0};

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
    const std::string stem =
        (std::filesystem::temp_directory_path() / ("tulvex-host-test-" + std::to_string(getpid()) +
                                                   "-" + std::to_string(childCount.fetch_add(1))))
            .string();
    mOutPath = stem + ".out";
    mErrPath = stem + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, mOutPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, mErrPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const int error = posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + args.front());
    }
}

ChildProcess::~ChildProcess() {
    if (!mReaped) {
        kill(mPid, SIGKILL);
        waitpid(mPid, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove(mOutPath, ignored);
    std::filesystem::remove(mErrPath, ignored);
}

void ChildProcess::signal(int number) const {
    if (!mReaped) {
        kill(mPid, number);
    }
}

void ChildProcess::limitFileSize(long bytes) const {
    const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    if (prlimit(mPid, RLIMIT_FSIZE, &limit, nullptr) != 0) {
        throw std::runtime_error("cannot limit the child's file size");
    }
}

std::string ChildProcess::outSoFar() const {
    return readFile(mOutPath);
}

ChildProcess::Result ChildProcess::wait(std::chrono::milliseconds limit) {
    Result result;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!mReaped) {
        if (waitpid(mPid, &status, WNOHANG) == mPid) {
            mReaped = true;
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (std::chrono::steady_clock::now() >= deadline) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
            mReaped = true;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    result.out = readFile(mOutPath);
    result.err = readFile(mErrPath);
    return result;
}

ChildProcess::Result ChildProcess::run(const std::vector<std::string>& args,
                                       std::chrono::milliseconds limit) {
    ChildProcess child(args);
    return child.wait(limit);
}
