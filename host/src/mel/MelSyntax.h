#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "MelArgType.h"
#include "MelFlag.h"

namespace mayahost {

// What a C++ command accepts: its flags and its positional arguments (object names, values).
// The interpreter checks every call against it before the command's handler runs.
class MelSyntax {
public:
    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

    explicit MelSyntax(std::string commandName) : name_(std::move(commandName)) {}

    // `modes` is a combination of MelFlag::kCreate, kQuery and kEdit.
    MelSyntax& addFlag(const std::string& longName, const std::string& shortName,
                       std::vector<MelArgType> arguments = {}, unsigned modes = MelFlag::kCreate,
                       bool multiUse = false);
    MelSyntax& addFlag(MelFlag flag);

    // Between `minimum` and `maximum` positional arguments, each read as `type`. Arrays given
    // as positional arguments count one per element.
    MelSyntax& setPositionals(std::size_t minimum, std::size_t maximum,
                              MelArgType type = MelArgType::Any);

    const std::string& name() const { return name_; }
    const std::vector<MelFlag>& flags() const { return flags_; }
    // The flag whose long or short name is `name` (no '-'), or null.
    const MelFlag* findFlag(const std::string& name) const;
    // A command that takes -q or -e on its own (`currentTime -q`), not only with a flag.
    MelSyntax& allowModes(unsigned modes) {
        modes_ |= modes;
        return *this;
    }
    // Whether the command or any flag may be used in that mode, which makes -q or -e valid.
    bool supports(MelMode mode) const;
    std::size_t minimumPositionals() const { return minimum_; }
    std::size_t maximumPositionals() const { return maximum_; }
    MelArgType positionalType() const { return positionalType_; }

private:
    std::string name_;
    std::vector<MelFlag> flags_;
    std::size_t minimum_ = 0;
    std::size_t maximum_ = 0;
    MelArgType positionalType_ = MelArgType::Any;
    unsigned modes_ = 0;  // modes allowed without a flag
};

}  // namespace mayahost
