#pragma once

namespace mayahost {

class MelInterpreter;
class PlugFlags;

// Maya's attribute and connection commands on the host's scene: getAttr, setAttr (values in
// the UI units), connectAttr (with the unit conversions a connection makes), disconnectAttr
// and listConnections. Each parses its call and delegates to the scene through ScenePlugs.
// Installing them also installs keyframe and what a Maya ASCII scene runs (requires,
// fileInfo), since a scene file is mostly setAttr and connectAttr.
class AttributeCommands {
public:
    // `flags` keeps the lock and keyable state; it must outlive the interpreter's use.
    static bool install(MelInterpreter& interpreter, PlugFlags& flags);

    AttributeCommands() = delete;
};

}  // namespace mayahost
