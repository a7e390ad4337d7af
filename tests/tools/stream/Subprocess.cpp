#include "Subprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

std::string slurp(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

std::filesystem::path scratch(const char* suffix) {
    static int counter = 0;
    return std::filesystem::temp_directory_path() /
           ("tulvex-stream-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
            suffix);
}

}  // namespace

Subprocess::Subprocess(const std::vector<std::string>& args)
    : outPath_(scratch(".out")), errPath_(scratch(".err")) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int status = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        throw std::runtime_error("cannot start " + args.front());
    }
}

Subprocess::~Subprocess() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    std::filesystem::remove(outPath_);
    std::filesystem::remove(errPath_);
}

bool Subprocess::running() {
    reaped_ = reaped_ || waitpid(pid_, &status_, WNOHANG) == pid_;
    return !reaped_;
}

void Subprocess::signal(int number) const {
    kill(pid_, number);
}

std::string Subprocess::out() const {
    return slurp(outPath_);
}

Subprocess::Result Subprocess::wait(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Result result;
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    } else if (WIFEXITED(status_)) {
        result.exitCode = WEXITSTATUS(status_);
    }
    result.out = slurp(outPath_);
    result.err = slurp(errPath_);
    return result;
}

Subprocess::Result Subprocess::run(const std::vector<std::string>& args) {
    return Subprocess(args).wait();
}
