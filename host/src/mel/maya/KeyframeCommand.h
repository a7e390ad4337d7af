#pragma once

#include <string>
#include <vector>

#include "MelResult.h"

namespace mayahost {

class MelInterpreter;
class NodeRecord;

// Animation curves from MEL: `keyframe -query` (values in the UI unit of the curve's type,
// times in the UI time unit), and the curve attributes a Maya ASCII file sets: the keys
// (".ktv[0:N-1]" time value pairs in UI units), the tangent types and weighting.
class KeyframeCommand {
public:
    static bool install(MelInterpreter& interpreter);
    // Whether `attribute` (without the node, "ktv[0:2]") is one of a curve's key attributes.
    static bool isKeyAttribute(const NodeRecord& node, const std::string& attribute);
    // setAttr on one of them, with the values as the file gives them.
    static MelResult setKeyAttribute(NodeRecord& node, const std::string& attribute,
                                     const std::vector<double>& values);

    KeyframeCommand() = delete;
};

}  // namespace mayahost
