#pragma once

namespace mayahost {

class MelInterpreter;

// Maya's `workspace` command as far as plug-ins use it: `-q -rootDirectory` names the current
// project's folder, with a trailing slash; `-openWorkspace DIR` makes an existing folder the
// project. At start the project is Maya's default one, <MAYA_APP_DIR or ~/maya>/projects/
// default/, as in a fresh Maya.
class WorkspaceCommands {
public:
    static bool install(MelInterpreter& interpreter);

    WorkspaceCommands() = delete;
};

}  // namespace mayahost
