#pragma once

namespace mayahost {

class MelInterpreter;

// The statements a Maya ASCII scene opens with that are not about nodes: `requires` (the
// application version and the plug-ins the scene needs) and `fileInfo`, kept with the scene. A
// scene file is MEL, so the host reads one by sourcing it.
class SceneFileCommands {
public:
    static bool install(MelInterpreter& interpreter);

    SceneFileCommands() = delete;
};

}  // namespace mayahost
