#pragma once

#include <string>
#include <utility>
#include <vector>

#include "MelArgType.h"

namespace mayahost {

// One flag of a command: its long and short name (without the '-'), the arguments it takes
// (none for a switch), the modes it may be used in and whether it may be given more than once.
class MelFlag {
public:
    static constexpr unsigned kCreate = 1U;
    static constexpr unsigned kQuery = 2U;
    static constexpr unsigned kEdit = 4U;

    MelFlag(std::string longName, std::string shortName, std::vector<MelArgType> arguments,
            unsigned modes, bool multiUse)
        : longName_(std::move(longName)),
          shortName_(std::move(shortName)),
          arguments_(std::move(arguments)),
          modes_(modes),
          multiUse_(multiUse) {}

    const std::string& longName() const { return longName_; }
    const std::string& shortName() const { return shortName_; }
    const std::vector<MelArgType>& arguments() const { return arguments_; }
    unsigned modes() const { return modes_; }
    bool multiUse() const { return multiUse_; }
    bool allows(MelMode mode) const { return (modes_ & bit(mode)) != 0; }

    // In query mode a flag takes no value, except the few that need one to say what to query.
    bool queryTakesArguments() const { return queryTakesArguments_; }
    MelFlag& setQueryTakesArguments(bool takes) {
        queryTakesArguments_ = takes;
        return *this;
    }

    static unsigned bit(MelMode mode) {
        return mode == MelMode::Create ? kCreate : (mode == MelMode::Query ? kQuery : kEdit);
    }

private:
    std::string longName_;
    std::string shortName_;
    std::vector<MelArgType> arguments_;
    unsigned modes_;
    bool multiUse_;
    bool queryTakesArguments_ = false;
};

}  // namespace mayahost
