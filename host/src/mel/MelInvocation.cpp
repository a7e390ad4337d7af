#include "MelInvocation.h"

namespace mayahost {

std::size_t MelInvocation::uses(const std::string& longName) const {
    std::size_t count = 0;
    for (const FlagUse& use : flags_) {
        if (use.name == longName) {
            ++count;
        }
    }
    return count;
}

const std::vector<MelValue>& MelInvocation::values(const std::string& longName,
                                                   std::size_t use) const {
    static const std::vector<MelValue> kNone;
    std::size_t seen = 0;
    for (const FlagUse& flagUse : flags_) {
        if (flagUse.name == longName && seen++ == use) {
            return flagUse.values;
        }
    }
    return kNone;
}

const MelValue* MelInvocation::value(const std::string& longName, std::size_t index) const {
    const std::vector<MelValue>& given = values(longName);
    return index < given.size() ? &given[index] : nullptr;
}

int MelInvocation::intValue(const std::string& longName, int fallback, std::size_t index) const {
    const MelValue* found = value(longName, index);
    return found != nullptr ? found->asInt() : fallback;
}

double MelInvocation::floatValue(const std::string& longName, double fallback,
                                 std::size_t index) const {
    const MelValue* found = value(longName, index);
    return found != nullptr ? found->asFloat() : fallback;
}

bool MelInvocation::boolValue(const std::string& longName, bool fallback) const {
    if (!has(longName)) {
        return fallback;
    }
    const MelValue* found = value(longName, 0);
    return found == nullptr || found->asInt() != 0;  // a switch given is true
}

std::string MelInvocation::stringValue(const std::string& longName, const std::string& fallback,
                                       std::size_t index) const {
    const MelValue* found = value(longName, index);
    return found != nullptr ? found->asString() : fallback;
}

std::vector<std::string> MelInvocation::stringValues(const std::string& longName) const {
    std::vector<std::string> texts;
    for (const FlagUse& use : flags_) {
        if (use.name == longName && !use.values.empty()) {
            texts.push_back(use.values.front().asString());
        }
    }
    return texts;
}

}  // namespace mayahost
