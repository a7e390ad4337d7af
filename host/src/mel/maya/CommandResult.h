#pragma once

#include <vector>

#include "MelValue.h"

namespace mayahost {

// The result a plug-in command sets with MPxCommand::setResult while its doIt runs. Commands
// nest (a doIt may run MEL that runs another command), so each run opens its own slot.
// Main thread only, as commands are.
class CommandResult {
public:
    void open() { slots_.emplace_back(); }
    // The result of the innermost run, which closes its slot.
    MelValue close();
    // setResult and clearResult outside any doIt write to a slot nobody reads.
    void set(MelValue value);
    const MelValue& current() const;
    void clear() { set(MelValue()); }

private:
    std::vector<MelValue> slots_;
    MelValue stray_;
};

}  // namespace mayahost
