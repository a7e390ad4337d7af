#pragma once

#include <string>

namespace mayahost {

// Where the interpreter's output goes: `print` text, warnings and errors. `message` is the bare
// text; `line` is the whole line as Maya's Script Editor shows it, e.g.
// "// Error: line 3: Cannot find procedure \"x\". //".
class MelOutput {
public:
    virtual ~MelOutput() = default;
    virtual void print(const std::string& text) = 0;
    virtual void warning(const std::string& message, const std::string& line) = 0;
    virtual void error(const std::string& message, const std::string& line) = 0;
};

}  // namespace mayahost
