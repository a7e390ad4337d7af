#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "MelNode.h"
#include "MelType.h"

namespace mayahost {

struct MelUnit;

// A MEL procedure defined by a script.
struct MelProcedure {
    std::string name;
    bool isGlobal = true;
    MelType returnType = MelType::None;
    const MelNode* definition = nullptr;  // parameters, then the body as the last child
    // Keeps a global procedure's text alive after the script that defined it has finished.
    // Null for a local procedure: its own text holds it, and it is only called from there.
    std::shared_ptr<const MelUnit> owner;
    std::string path;  // the file it was defined in; empty when entered directly

    std::size_t parameterCount() const {
        return definition->children.empty() ? 0 : definition->children.size() - 1;
    }
    const MelNode& parameter(std::size_t index) const { return *definition->children[index]; }
    const MelNode& body() const { return *definition->children.back(); }
};

}  // namespace mayahost
