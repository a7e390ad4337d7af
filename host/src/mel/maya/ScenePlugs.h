#pragma once

#include <maya/MStatus.h>

#include <string>
#include <vector>

#include "PlugRef.h"

namespace mayahost {

class AttributeRecord;
class NodeRecord;

// Names as MEL writes them, resolved against the host's scene: nodes by name or DAG path,
// plugs as "node.attr", "node.attr[3]", "node.attr[3].child" or "node.child"; and plug
// values in the UI units commands speak. Main thread only.
class ScenePlugs {
public:
    // A node by name, full path ("|group|joint") or the tail of one ("group|joint").
    static NodeRecord* node(const std::string& nameOrPath);
    // False, with Maya's "No object matches name: x" or the host's message, when the text
    // names no plug of a node in the scene.
    static bool plug(const std::string& text, PlugRef& out, std::string& error);
    // "node.attr[3].child" with long attribute names.
    static std::string name(const PlugRef& plug);

    // The attribute reads as a MEL int (booleans, enums and integers) rather than a float.
    static bool isInteger(const AttributeRecord* attribute);
    // Every value of a plug (one, or one per child of a compound), in UI units, computed or
    // pulled first when dirty. False for a plug that holds no numeric data.
    static bool read(const PlugRef& plug, std::vector<double>& values);
    // The same, evaluated at `uiTime` in a context other than the normal one.
    static bool readAt(const PlugRef& plug, double uiTime, std::vector<double>& values);
    // Writes values given in UI units, child by child for a compound, as MPlug::setValue
    // does: what they affect is dirtied, attribute-changed callbacks run, a device node's
    // thread restarts when `live` changes. Fails when the count does not fit.
    static MStatus write(const PlugRef& plug, const std::vector<double>& values);
    // The scalar plugs a plug writes: itself, or the children of a compound.
    static std::vector<PlugRef> scalars(const PlugRef& plug);
    // Whether something drives the plug (or a plug holding it or held by it).
    static bool isConnected(const PlugRef& plug);

    ScenePlugs() = delete;
};

}  // namespace mayahost
