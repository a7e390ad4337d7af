#include "CommandResult.h"

#include <utility>

namespace mayahost {

MelValue CommandResult::close() {
    if (slots_.empty()) {
        return MelValue();
    }
    MelValue value = std::move(slots_.back());
    slots_.pop_back();
    return value;
}

void CommandResult::set(MelValue value) {
    (slots_.empty() ? stray_ : slots_.back()) = std::move(value);
}

const MelValue& CommandResult::current() const {
    return slots_.empty() ? stray_ : slots_.back();
}

}  // namespace mayahost
