#pragma once

#include <string>
#include <vector>

#include "MelOutput.h"

namespace mayahost {

// The interpreter's own output: `print` text to stdout, warning and error lines to stderr, and
// everything kept in order for whoever takes it (tests, the host's error log). Used on the
// main thread only, like the interpreter that writes to it.
class MelConsole : public MelOutput {
public:
    struct Entry {
        enum class Kind { Print, Warning, Error };
        Kind kind;
        std::string message;  // print text, or the bare warning or error text
        std::string line;     // print text, or the whole "// Warning: ... //" line
    };

    explicit MelConsole(bool echo = true) : echo_(echo) {}

    void print(const std::string& text) override;
    void warning(const std::string& message, const std::string& line) override;
    void error(const std::string& message, const std::string& line) override;

    // Whether output is also written to stdout and stderr.
    void setEcho(bool echo) { echo_ = echo; }

    const std::vector<Entry>& entries() const { return entries_; }
    // Removes and returns what was kept.
    std::vector<Entry> take();
    // The `print` text kept, joined.
    std::string printed() const;
    // The whole lines of the kept warnings and errors, in order.
    std::vector<std::string> lines() const;

private:
    bool echo_;
    std::vector<Entry> entries_;
};

}  // namespace mayahost
