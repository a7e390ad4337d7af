#pragma once

#include <map>
#include <memory>
#include <string>

#include "MelNode.h"
#include "MelProcedure.h"

namespace mayahost {

// One parsed MEL text: a script file, a command text, an `eval` string or a callback.
// Global procedures keep their unit alive, since their bodies live in it.
struct MelUnit {
    std::string path;  // the file it came from; empty for texts run directly
    std::string text;
    std::unique_ptr<MelNode> root;  // a Block
    // Its local procedures, visible only to its own code. Main thread only.
    mutable std::map<std::string, std::shared_ptr<const MelProcedure>> localProcedures;
};

}  // namespace mayahost
