#pragma once

#include <string>
#include <vector>

namespace mayahost {

class NodeType;

// What MEL says about node types: the chain of types a node type derives from (as
// `nodeType -inherited` lists it, the type itself last), the MFn name `nodeType -apiType`
// gives, and which names are types at all (abstract ones such as "dagNode" included).
class NodeTypeNames {
public:
    static std::vector<std::string> inherited(const NodeType& type);
    static bool derivesFrom(const NodeType& type, const std::string& typeName);
    static std::string apiTypeName(const NodeType& type);
    // A registered node type, or an abstract one a registered type derives from.
    static bool known(const std::string& typeName);

    NodeTypeNames() = delete;
};

}  // namespace mayahost
