#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "MelOutput.h"

namespace mayahost {

// Where the host's MEL writes: print text to stdout, warning and error lines to stderr, as
// Maya's batch mode does, and each kept for tests and tools to take: the bare texts of
// errors and of warnings, the whole lines of both in order, and the printed text. Lists are
// bounded, dropping the oldest, so a long session that never takes them stays small. Main
// thread only, as MEL is.
class HostMelOutput : public MelOutput {
public:
    void print(const std::string& text) override;
    void warning(const std::string& message, const std::string& line) override;
    void error(const std::string& message, const std::string& line) override;

    std::vector<std::string> takeErrors();
    std::vector<std::string> takeWarnings();
    std::vector<std::string> takeLines();
    std::string takePrinted();

    // Whether output is echoed to stdout/stderr (on by default).
    void setEcho(bool echo) { echo_ = echo; }

private:
    static constexpr std::size_t kKept = 10000;
    static void keep(std::vector<std::string>& list, const std::string& text);

    bool echo_ = true;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
    std::vector<std::string> lines_;
    std::string printed_;
};

}  // namespace mayahost
