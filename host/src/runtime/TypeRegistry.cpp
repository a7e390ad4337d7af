#include "TypeRegistry.h"

#include <maya/MFnNumericData.h>

#include "Arena.h"
#include "AttributeRecord.h"
#include "NodeType.h"
#include "PluginRecord.h"

namespace mayahost {

namespace {

constexpr unsigned int kTimeTypeId = 0x54494d45;       // built-in ids stay out of plug-in range
constexpr unsigned int kTransformTypeId = 0x5846524d;  //
constexpr unsigned int kJointTypeId = 0x4a4f494e;      //
constexpr unsigned int kConversionTypeIdBase = 0x55434e00;
constexpr unsigned int kCurveTypeIdBase = 0x50435400;  // 'PCT' then the curve type

struct CurveTypeInfo {
    const char* name;
    MFn::Type apiType;
};

// Maya's MFn has its own types for the unitless-input curves; the subset here does not.
constexpr CurveTypeInfo kCurveTypes[TypeRegistry::kCurveTypeCount] = {
    {"animCurveTA", MFn::kAnimCurveTimeToAngular},
    {"animCurveTL", MFn::kAnimCurveTimeToDistance},
    {"animCurveTT", MFn::kAnimCurveTimeToTime},
    {"animCurveTU", MFn::kAnimCurveTimeToUnitless},
    {"animCurveUA", MFn::kAnimCurve},
    {"animCurveUL", MFn::kAnimCurve},
    {"animCurveUT", MFn::kAnimCurve},
    {"animCurveUU", MFn::kAnimCurve}};

}  // namespace

TypeRegistry::TypeRegistry(Arena& arena) : arena_(arena) {
    builtins_.message = arena_.make<AttributeRecord>(
        "message", "msg", AttributeRecord::Kind::Message, MFnNumericData::kInvalid);
    builtins_.message->storable = false;
    builtins_.isHistoricallyInteresting =
        numeric("isHistoricallyInteresting", "ihi", MFnNumericData::kByte, 2.0);
    builtins_.caching = numeric("caching", "cch", MFnNumericData::kBoolean, 0.0);
    builtins_.state = numeric("nodeState", "nds", MFnNumericData::kShort, 0.0);
    builtins_.frozen = numeric("frozen", "fzn", MFnNumericData::kBoolean, 0.0);
    builtins_.live = numeric("live", "lv", MFnNumericData::kBoolean, 0.0);
    builtins_.frameRate = numeric("frameRate", "fr", MFnNumericData::kDouble, 15.0);
    builtins_.output = arena_.make<AttributeRecord>("output", "o", AttributeRecord::Kind::Generic,
                                                    MFnNumericData::kInvalid);
    builtins_.output->hidden = true;
    builtins_.output->writable = false;
    builtins_.output->storable = false;
    builtins_.outTime = numeric("outTime", "o", MFnNumericData::kDouble, 0.0);
    builtins_.outTime->writable = false;
    builtins_.outTime->unit = AttributeRecord::Unit::Time;

    builtins_.timeType = newType("time", kTimeTypeId, MPxNode::kDependNode);
    builtins_.timeType->apiType = MFn::kDependencyNode;
    builtins_.timeType->add(builtins_.outTime);
    add(builtins_.timeType);

    builtins_.transformType = newType("transform", kTransformTypeId, MPxNode::kDependNode);
    builtins_.transformType->apiType = MFn::kTransform;
    addTransformAttributes(*builtins_.transformType);
    add(builtins_.transformType);

    // A joint is a transform as far as what drives it is concerned.
    NodeType* joint = newType("joint", kJointTypeId, MPxNode::kDependNode);
    joint->apiType = MFn::kTransform;
    addTransformAttributes(*joint);
    add(joint);

    // A curve's output is its value at the current time, worked out when it is read.
    builtins_.curveOutput = numeric("output", "o", MFnNumericData::kDouble, 0.0);
    builtins_.curveOutput->writable = false;
    builtins_.curveOutput->storable = false;
    for (int k = 0; k < kCurveTypeCount; ++k) {
        NodeType* type = newType(kCurveTypes[k].name, kCurveTypeIdBase + static_cast<unsigned>(k),
                                 MPxNode::kDependNode);
        type->apiType = kCurveTypes[k].apiType;
        type->curveType = k;
        type->add(builtins_.curveOutput);
        add(type);
        builtins_.curveTypes[k] = type;
    }

    // Conversions work on up to three values, so a compound goes through one node.
    builtins_.conversionInput =
        double3("input", "i", {"input0", "input1", "input2"}, {"i0", "i1", "i2"}, 0.0);
    builtins_.conversionOutput =
        double3("output", "o", {"output0", "output1", "output2"}, {"o0", "o1", "o2"}, 0.0);
    builtins_.conversionOutput->writable = false;
    builtins_.conversionFactor = numeric("conversionFactor", "cf", MFnNumericData::kDouble, 1.0);
    builtins_.unitConversionType = conversionType("unitConversion", kConversionTypeIdBase);
    builtins_.timeToUnitConversionType =
        conversionType("timeToUnitConversion", kConversionTypeIdBase + 1);
    builtins_.unitToTimeConversionType =
        conversionType("unitToTimeConversion", kConversionTypeIdBase + 2);
}

NodeType* TypeRegistry::conversionType(const char* name, unsigned int id) {
    NodeType* type = newType(name, id, MPxNode::kDependNode);
    type->apiType = MFn::kDependencyNode;
    type->conversion = true;
    type->add(builtins_.conversionInput);
    type->add(builtins_.conversionOutput);
    type->add(builtins_.conversionFactor);
    type->addAffects(builtins_.conversionInput, builtins_.conversionOutput);
    type->addAffects(builtins_.conversionFactor, builtins_.conversionOutput);
    add(type);
    return type;
}

TypeRegistry::~TypeRegistry() = default;

void TypeRegistry::addTransformAttributes(NodeType& type) {
    AttributeRecord* translate = double3(
        "translate", "t", {"translateX", "translateY", "translateZ"}, {"tx", "ty", "tz"}, 0.0);
    AttributeRecord* rotate =
        double3("rotate", "r", {"rotateX", "rotateY", "rotateZ"}, {"rx", "ry", "rz"}, 0.0);
    for (AttributeRecord* compound : {translate, rotate}) {
        compound->unit =
            compound == translate ? AttributeRecord::Unit::Distance : AttributeRecord::Unit::Angle;
        for (AttributeRecord* child : compound->children) {
            child->unit = compound->unit;
        }
    }
    type.add(translate);
    type.add(rotate);
    type.add(double3("scale", "s", {"scaleX", "scaleY", "scaleZ"}, {"sx", "sy", "sz"}, 1.0));
    type.add(numeric("rotateOrder", "ro", MFnNumericData::kShort, 0.0));
    type.add(numeric("visibility", "v", MFnNumericData::kBoolean, 1.0));
}

AttributeRecord* TypeRegistry::double3(const char* longName, const char* shortName,
                                       const std::array<const char*, 3>& childLongNames,
                                       const std::array<const char*, 3>& childShortNames,
                                       double def) {
    AttributeRecord* compound = numeric(longName, shortName, MFnNumericData::k3Double, def);
    for (unsigned int i = 0; i < 3; ++i) {
        AttributeRecord* child =
            numeric(childLongNames[i], childShortNames[i], MFnNumericData::kDouble, def);
        child->parent = compound;
        child->childIndex = i;
        compound->children.push_back(child);
    }
    return compound;
}

AttributeRecord* TypeRegistry::numeric(const char* longName, const char* shortName, int type,
                                       double def) {
    AttributeRecord* attribute =
        arena_.make<AttributeRecord>(longName, shortName, AttributeRecord::Kind::Numeric,
                                     static_cast<MFnNumericData::Type>(type));
    attribute->defaultValue = def;
    return attribute;
}

NodeType* TypeRegistry::newType(const std::string& name, unsigned int id, MPxNode::Type kind) {
    MFn::Type apiType = MFn::kPluginDependNode;
    if (kind == MPxNode::kThreadedDeviceNode) {
        apiType = MFn::kPluginThreadedDevice;
    } else if (kind == MPxNode::kClientDeviceNode) {
        apiType = MFn::kPluginClientDevice;
    }
    auto type = std::make_unique<NodeType>(name, id, kind, apiType);
    for (AttributeRecord* inherited : {builtins_.message, builtins_.caching, builtins_.frozen,
                                       builtins_.isHistoricallyInteresting, builtins_.state}) {
        type->add(inherited);
    }
    if (kind == MPxNode::kThreadedDeviceNode) {
        type->add(builtins_.live);
        type->add(builtins_.frameRate);
        type->add(builtins_.output);
    }
    NodeType* raw = type.get();
    std::lock_guard<std::mutex> lock(mutex_);
    all_.push_back(std::move(type));
    return raw;
}

bool TypeRegistry::add(NodeType* type) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (types_.count(type->name) != 0) {
        return false;
    }
    for (const auto& entry : types_) {
        if (entry.second->id == type->id) {
            return false;
        }
    }
    types_[type->name] = type;
    return true;
}

bool TypeRegistry::remove(const NodeType* type) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = types_.find(type->name);
    if (found == types_.end() || found->second != type) {
        return false;
    }
    types_.erase(found);
    return true;
}

NodeType* TypeRegistry::find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = types_.find(name);
    return found != types_.end() ? found->second : nullptr;
}

NodeType* TypeRegistry::find(unsigned int id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : types_) {
        if (entry.second->id == id) {
            return entry.second;
        }
    }
    return nullptr;
}

void TypeRegistry::removePluginTypes() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = types_.begin(); it != types_.end();) {
        if (it->second->creator != nullptr) {
            it = types_.erase(it);
        } else {
            ++it;
        }
    }
}

bool TypeRegistry::hasTypesOf(const PluginRecord* plugin) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : types_) {
        if (entry.second->plugin == plugin) {
            return true;
        }
    }
    return false;
}

std::vector<const NodeType*> TypeRegistry::typesOf(const PluginRecord* plugin) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<const NodeType*> found;
    for (const auto& made : all_) {
        const auto registered = types_.find(made->name);
        if (made->plugin == plugin && registered != types_.end() &&
            registered->second == made.get()) {
            found.push_back(made.get());
        }
    }
    return found;
}

PluginRecord* TypeRegistry::plugin(const std::string& name, const std::string& loadPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    PluginRecord*& record = plugins_[name];
    if (record == nullptr) {
        record = arena_.make<PluginRecord>(name, loadPath);
    } else {
        record->loadPath = loadPath;
    }
    return record;
}

PluginRecord* TypeRegistry::findPlugin(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = plugins_.find(name);
    return found != plugins_.end() ? found->second : nullptr;
}

std::vector<PluginRecord*> TypeRegistry::plugins() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<PluginRecord*> records;
    for (const auto& entry : plugins_) {
        records.push_back(entry.second);
    }
    return records;
}

void TypeRegistry::clearPlugins() {
    std::lock_guard<std::mutex> lock(mutex_);
    plugins_.clear();
}

NodeType*& TypeRegistry::initializing() {
    thread_local NodeType* current = nullptr;
    return current;
}

}  // namespace mayahost
