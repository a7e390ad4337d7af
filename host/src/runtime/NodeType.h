#pragma once

#include <maya/MPlugin.h>
#include <maya/MPxNode.h>

#include <map>
#include <string>
#include <vector>

namespace mayahost {

class AttributeRecord;
class PluginRecord;

// A node type: built-in, or registered by a plug-in. Filled on the main thread while
// registerNode runs its initialize function and read-only once registered, so no lock.
class NodeType {
public:
    NodeType(std::string typeName, unsigned int typeId, MPxNode::Type nodeKind,
             MFn::Type nodeApiType);

    const AttributeRecord* find(const std::string& attributeName) const;
    bool owns(const AttributeRecord* attribute) const;
    bool isThreadedDevice() const { return kind == MPxNode::kThreadedDeviceNode; }
    // Adds an attribute and its children; fails on a name already taken.
    bool add(AttributeRecord* attribute);
    void addAffects(const AttributeRecord* whenChanges, const AttributeRecord* isAffected);
    // Top-level attributes dirtied, directly or through others, when `root` changes.
    std::vector<const AttributeRecord*> affectedBy(const AttributeRecord* root) const;
    // True for attributes some other attribute affects: those are computed.
    bool isComputed(const AttributeRecord* root) const;
    std::vector<const AttributeRecord*> roots() const;

    std::string name;
    unsigned int id;
    MPxNode::Type kind;
    MFn::Type apiType;
    MCreatorFunction creator = nullptr;
    PluginRecord* plugin = nullptr;
    std::vector<AttributeRecord*> attributes;
    int curveType = -1;  // MFnAnimCurve::AnimCurveType of an animation curve type, else -1
    // The conversion nodes Maya puts between plugs of different units: their output is their
    // input times conversionFactor.
    bool conversion = false;

private:
    std::map<const AttributeRecord*, std::vector<const AttributeRecord*>> affects_;
};

}  // namespace mayahost
