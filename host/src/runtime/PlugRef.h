#pragma once

#include <utility>

namespace mayahost {

class NodeRecord;
class AttributeRecord;

// A plug resolved to host records: an attribute of a node, with the logical index of the
// array element it lives in (its own, or its compound parent's).
struct PlugRef {
    NodeRecord* node = nullptr;
    const AttributeRecord* attribute = nullptr;
    bool hasIndex = false;
    unsigned int index = 0;

    // The plug's key in its attribute's dirty state (NodeRecord::PlugKey).
    std::pair<int, int> key() const;
};

}  // namespace mayahost
