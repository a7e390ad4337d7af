#pragma once

namespace mayahost {

class MelInterpreter;

// Maya's node commands on the host's scene: createNode, delete, rename, objExists, nodeType
// and ls. Each parses its call and delegates to the scene; names resolve through ScenePlugs.
class SceneCommands {
public:
    // False when a name is taken.
    static bool install(MelInterpreter& interpreter);

    SceneCommands() = delete;
};

}  // namespace mayahost
