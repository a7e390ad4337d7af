#pragma once

#include <maya/MPxNode.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace mayahost {

class Arena;
class AttributeRecord;
class NodeType;
class PluginRecord;

// Node types (built-in and plug-in) and plug-in records.
class TypeRegistry {
public:
    // Attributes every node has, or every threaded device node, and those of built-in types.
    static constexpr int kCurveTypeCount = 8;

    struct Builtins {
        AttributeRecord* message = nullptr;
        AttributeRecord* isHistoricallyInteresting = nullptr;
        AttributeRecord* caching = nullptr;
        AttributeRecord* state = nullptr;
        AttributeRecord* frozen = nullptr;
        AttributeRecord* live = nullptr;
        AttributeRecord* frameRate = nullptr;
        AttributeRecord* output = nullptr;
        AttributeRecord* outTime = nullptr;
        AttributeRecord* curveOutput = nullptr;
        NodeType* timeType = nullptr;
        NodeType* transformType = nullptr;
        NodeType* curveTypes[kCurveTypeCount] = {};  // indexed by MFnAnimCurve::AnimCurveType
        // unitConversion, timeToUnitConversion, unitToTimeConversion; they share these.
        NodeType* unitConversionType = nullptr;
        NodeType* timeToUnitConversionType = nullptr;
        NodeType* unitToTimeConversionType = nullptr;
        AttributeRecord* conversionInput = nullptr;
        AttributeRecord* conversionOutput = nullptr;
        AttributeRecord* conversionFactor = nullptr;
    };

    explicit TypeRegistry(Arena& arena);
    ~TypeRegistry();
    TypeRegistry(const TypeRegistry&) = delete;
    TypeRegistry& operator=(const TypeRegistry&) = delete;
    const Builtins& builtins() const { return builtins_; }

    // A type under construction, with the attributes its kind inherits; not registered yet.
    NodeType* newType(const std::string& name, unsigned int id, MPxNode::Type kind);
    bool add(NodeType* type);  // fails on a taken name or id
    bool remove(const NodeType* type);
    NodeType* find(const std::string& name) const;
    NodeType* find(unsigned int id) const;
    // Forgets every plug-in type, keeping the built-in ones.
    void removePluginTypes();
    // True while a type registered by that plug-in is still registered.
    bool hasTypesOf(const PluginRecord* plugin) const;
    // The registered types of that plug-in, in registration order.
    std::vector<const NodeType*> typesOf(const PluginRecord* plugin) const;

    PluginRecord* plugin(const std::string& name, const std::string& loadPath);
    PluginRecord* findPlugin(const std::string& name) const;
    // Every plug-in record, by name.
    std::vector<PluginRecord*> plugins() const;
    void clearPlugins();

    // The type whose initialize function runs on this thread, for MPxNode::addAttribute.
    static NodeType*& initializing();

private:
    AttributeRecord* numeric(const char* longName, const char* shortName, int type, double def);
    AttributeRecord* double3(const char* longName, const char* shortName,
                             const std::array<const char*, 3>& childLongNames,
                             const std::array<const char*, 3>& childShortNames, double def);
    void addTransformAttributes(NodeType& type);
    NodeType* conversionType(const char* name, unsigned int id);

    Arena& arena_;
    Builtins builtins_;         // made in the constructor, read-only afterwards from any thread
    mutable std::mutex mutex_;  // any host thread looks types up; guards types_, plugins_, all_
    std::map<std::string, NodeType*> types_;
    std::map<std::string, PluginRecord*> plugins_;
    std::deque<std::unique_ptr<NodeType>> all_;  // owns every type ever made
};

}  // namespace mayahost
