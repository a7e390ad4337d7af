#include "MelSyntax.h"

#include <utility>

namespace mayahost {

MelSyntax& MelSyntax::addFlag(const std::string& longName, const std::string& shortName,
                              std::vector<MelArgType> arguments, unsigned modes, bool multiUse) {
    return addFlag(MelFlag(longName, shortName, std::move(arguments), modes, multiUse));
}

MelSyntax& MelSyntax::addFlag(MelFlag flag) {
    flags_.push_back(std::move(flag));
    return *this;
}

MelSyntax& MelSyntax::setPositionals(std::size_t minimum, std::size_t maximum, MelArgType type) {
    minimum_ = minimum;
    maximum_ = maximum;
    positionalType_ = type;
    return *this;
}

const MelFlag* MelSyntax::findFlag(const std::string& name) const {
    for (const MelFlag& flag : flags_) {
        if (flag.longName() == name || flag.shortName() == name) {
            return &flag;
        }
    }
    return nullptr;
}

bool MelSyntax::supports(MelMode mode) const {
    if ((modes_ & MelFlag::bit(mode)) != 0) {
        return true;
    }
    for (const MelFlag& flag : flags_) {
        if (flag.allows(mode)) {
            return true;
        }
    }
    return false;
}

}  // namespace mayahost
