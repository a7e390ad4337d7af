#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "MelArgType.h"
#include "MelValue.h"

namespace mayahost {

// One checked call of a C++ command: its mode, the flags given (in order, with their values
// already converted to the flag's argument types) and its positional arguments.
class MelInvocation {
public:
    // Self-contained, so an invocation may outlive the syntax it was checked against.
    struct FlagUse {
        std::string name;     // the flag's long name
        std::string written;  // the flag as the caller wrote it, e.g. "-l"
        std::vector<MelValue> values;
    };

    explicit MelInvocation(std::string commandName = std::string())
        : commandName_(std::move(commandName)) {}

    const std::string& commandName() const { return commandName_; }
    MelMode mode() const { return mode_; }
    bool isQuery() const { return mode_ == MelMode::Query; }
    bool isEdit() const { return mode_ == MelMode::Edit; }
    bool isCreate() const { return mode_ == MelMode::Create; }

    // Flags are named by their long name.
    bool has(const std::string& longName) const { return uses(longName) > 0; }
    std::size_t uses(const std::string& longName) const;
    // The values of the `use`-th use of the flag; empty when it was not given that often.
    const std::vector<MelValue>& values(const std::string& longName, std::size_t use = 0) const;
    // One value of the flag's first use, or the fallback when the flag is absent.
    int intValue(const std::string& longName, int fallback = 0, std::size_t index = 0) const;
    double floatValue(const std::string& longName, double fallback = 0.0,
                      std::size_t index = 0) const;
    bool boolValue(const std::string& longName, bool fallback = false) const;
    std::string stringValue(const std::string& longName,
                            const std::string& fallback = std::string(),
                            std::size_t index = 0) const;
    // The first value of every use of a multi-use flag, as text.
    std::vector<std::string> stringValues(const std::string& longName) const;

    const std::vector<FlagUse>& flags() const { return flags_; }
    const std::vector<MelValue>& positionals() const { return positionals_; }

    void setMode(MelMode mode) { mode_ = mode; }
    void addFlag(FlagUse use) { flags_.push_back(std::move(use)); }
    void addPositional(MelValue value) { positionals_.push_back(std::move(value)); }

private:
    const MelValue* value(const std::string& longName, std::size_t index) const;

    std::string commandName_;
    MelMode mode_ = MelMode::Create;
    std::vector<FlagUse> flags_;
    std::vector<MelValue> positionals_;
};

}  // namespace mayahost
