#include "AttributeCommands.h"

#include <maya/MDGModifier.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "AttributeRecord.h"
#include "Graph.h"
#include "HostAccess.h"
#include "HostState.h"
#include "KeyframeCommand.h"
#include "MelInterpreter.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "NodeTypeNames.h"
#include "PlugFlags.h"
#include "Scene.h"
#include "SceneFileCommands.h"
#include "ScenePlugs.h"
#include "UnitConversion.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
using Flag = PlugFlags::Flag;
constexpr std::size_t kAny = MelSyntax::kUnlimited;

MelResult text(const std::string& value) {
    return MelResult::success(MelValue::ofString(value));
}

MelResult integer(int value) {
    return MelResult::success(MelValue::ofInt(value));
}

bool resolve(const std::string& name, PlugRef& plug, MelResult& failure) {
    std::string error;
    if (!ScenePlugs::plug(name, plug, error)) {
        failure = MelResult::failure(error);
        return false;
    }
    return true;
}

bool isArrayPlug(const PlugRef& plug) {
    return plug.attribute->root()->array && !plug.hasIndex;
}

std::vector<unsigned int> elementIndices(const PlugRef& plug) {
    return logicalIndices(HostAccess::makePlug(plug));
}

// `getAttr -type`: the data type Maya names for the attribute.
std::string dataType(const AttributeRecord* attribute) {
    if (attribute->kind == AttributeRecord::Kind::Message) {
        return "message";
    }
    if (attribute->kind != AttributeRecord::Kind::Numeric) {
        return "generic";
    }
    if (!attribute->isCompound()) {
        switch (attribute->unit) {
            case AttributeRecord::Unit::Distance:
                return "doubleLinear";
            case AttributeRecord::Unit::Angle:
                return "doubleAngle";
            case AttributeRecord::Unit::Time:
                return "time";
            default:
                break;
        }
    }
    switch (attribute->numericType) {
        case MFnNumericData::kBoolean:
            return "bool";
        case MFnNumericData::kByte:
            return "byte";
        case MFnNumericData::kChar:
            return "char";
        case MFnNumericData::kShort:
            return "short";
        case MFnNumericData::k2Short:
            return "short2";
        case MFnNumericData::k3Short:
            return "short3";
        case MFnNumericData::kInt:
            return "long";
        case MFnNumericData::k2Int:
            return "long2";
        case MFnNumericData::k3Int:
            return "long3";
        case MFnNumericData::kInt64:
            return "int64";
        case MFnNumericData::kFloat:
            return "float";
        case MFnNumericData::k2Float:
            return "float2";
        case MFnNumericData::k3Float:
            return "float3";
        case MFnNumericData::k2Double:
            return "double2";
        case MFnNumericData::k3Double:
            return "double3";
        case MFnNumericData::k4Double:
            return "double4";
        default:
            return "double";
    }
}

MelValue typed(const AttributeRecord* attribute, const std::vector<double>& values, bool array) {
    if (!array && values.size() == 1) {
        return ScenePlugs::isInteger(attribute)
                   ? MelValue::ofInt(MelValue::truncate(std::round(values[0])))
                   : MelValue::ofFloat(values[0]);
    }
    return MelValue::ofFloats(values);
}

// ---- getAttr

MelResult getAttr(const MelInvocation& call, MelContext& context, PlugFlags& flags) {
    const std::string name = call.positionals()[0].asString();
    PlugRef plug;
    MelResult failure;
    if (!resolve(name, plug, failure)) {
        return failure;
    }
    const bool atTime = call.has("time");
    if (call.has("type")) {
        return text(dataType(plug.attribute));
    }
    if (call.has("lock")) {
        return integer(flags.get(plug, Flag::Lock) ? 1 : 0);
    }
    if (call.has("keyable")) {
        return integer(flags.get(plug, Flag::Keyable) ? 1 : 0);
    }
    if (call.has("channelBox")) {
        return integer(flags.get(plug, Flag::ChannelBox) ? 1 : 0);
    }
    if (call.has("caching")) {
        return integer(flags.get(plug, Flag::Caching) ? 1 : 0);
    }
    if (call.has("settable")) {
        const bool settable = plug.attribute->writable && !flags.get(plug, Flag::Lock) &&
                              !ScenePlugs::isConnected(plug);
        return integer(settable ? 1 : 0);
    }
    if (call.has("size")) {
        return integer(isArrayPlug(plug) ? static_cast<int>(elementIndices(plug).size()) : 1);
    }
    if (call.has("multiIndices")) {
        std::vector<int> indices;
        if (isArrayPlug(plug)) {
            for (unsigned int index : elementIndices(plug)) {
                indices.push_back(static_cast<int>(index));
            }
        }
        return MelResult::success(MelValue::ofInts(indices));
    }
    std::vector<double> values;
    bool read = false;
    if (isArrayPlug(plug)) {
        // A whole array: every element's values in index order.
        read = plug.attribute->kind == AttributeRecord::Kind::Numeric;
        for (unsigned int index : elementIndices(plug)) {
            PlugRef element = plug;
            element.hasIndex = true;
            element.index = index;
            std::vector<double> more;
            read = read && ScenePlugs::read(element, more);
            values.insert(values.end(), more.begin(), more.end());
        }
    } else if (atTime) {
        read = ScenePlugs::readAt(plug, call.floatValue("time"), values);
    } else {
        read = ScenePlugs::read(plug, values);
    }
    if (!read) {
        // Maya's wording is not documented; the host's own, silenced by -silent as in Maya.
        if (!call.has("silent")) {
            context.warning("The attribute '" + ScenePlugs::name(plug) + "' holds no data.");
        }
        return MelResult::success();
    }
    const MelValue value = typed(plug.attribute, values, isArrayPlug(plug));
    if (call.has("asString")) {
        return text(value.isArray() ? std::string() : value.asString());
    }
    return MelResult::success(value);
}

// ---- setAttr

// A value word: a number, or one of MEL's boolean words.
bool numberOf(const MelValue& value, double& number) {
    if (value.isNumber()) {
        number = value.asFloat();
        return true;
    }
    const std::string word = value.asString();
    if (word == "on" || word == "yes" || word == "true") {
        number = 1.0;
        return true;
    }
    if (word == "off" || word == "no" || word == "false") {
        number = 0.0;
        return true;
    }
    bool isInteger = false;
    return MelValue::parseNumber(word, number, isInteger);
}

// A Maya ASCII file names attributes of the node its last createNode made (".t"). The host
// keeps no selection, so that is the newest node.
std::string withCurrentNode(const std::string& name) {
    if (name.empty() || name[0] != '.') {
        return name;
    }
    Scene& scene = hostState().scene;
    const std::vector<NodeRecord*> nodes = scene.nodes();
    return nodes.empty() ? name : scene.nameOf(nodes.back()) + name;
}

MelResult setAttr(const MelInvocation& call, MelContext&, PlugFlags& flags) {
    const std::vector<MelValue>& given = call.positionals();
    if (given.empty()) {
        return MelResult::failure("Wrong number of arguments on call to setAttr.");
    }
    const std::string name = withCurrentNode(given[0].asString());
    const std::size_t dot = name.find('.');
    NodeRecord* curve = dot == std::string::npos ? nullptr : ScenePlugs::node(name.substr(0, dot));
    if (curve != nullptr && KeyframeCommand::isKeyAttribute(*curve, name.substr(dot + 1))) {
        std::vector<double> keyValues;
        for (std::size_t k = 1; k < given.size(); ++k) {
            double number = 0.0;
            if (!numberOf(given[k], number)) {
                return MelResult::failure("setAttr: Error reading data element number " +
                                          std::to_string(k) + ": " + given[k].asString());
            }
            keyValues.push_back(number);
        }
        return KeyframeCommand::setKeyAttribute(*curve, name.substr(dot + 1), keyValues);
    }
    PlugRef plug;
    MelResult failure;
    if (!resolve(name, plug, failure)) {
        return failure;
    }
    const std::string plugName = ScenePlugs::name(plug);
    if (call.has("size")) {
        return MelResult::failure("setAttr: -size is not modelled by this host.");
    }
    if (call.has("type")) {
        const std::string type = call.stringValue("type");
        const std::string own = dataType(plug.attribute->root());
        const bool numeric = own != "message" && own != "generic";
        const bool fits = type == own || (numeric && (type == "double3" || type == "float3") &&
                                          ScenePlugs::scalars(plug).size() == 3);
        if (!fits) {
            // The host's wording: its attributes hold numbers only.
            return MelResult::failure("setAttr: '" + plugName + "' does not hold data of type " +
                                      type + ".");
        }
    }
    std::vector<double> values;
    for (std::size_t k = 1; k < given.size(); ++k) {
        const std::size_t count = given[k].isArray() ? given[k].size() : 1;
        for (std::size_t e = 0; e < count; ++e) {
            const MelValue word = given[k].isArray() ? given[k].element(e) : given[k];
            double number = 0.0;
            if (!numberOf(word, number)) {
                return MelResult::failure("setAttr: Error reading data element number " +
                                          std::to_string(values.size() + 1) + ": " +
                                          word.asString());
            }
            values.push_back(number);
        }
    }
    // Locked plugs can still be unlocked; the value, if any, is set after.
    if (call.has("lock") && call.intValue("lock") == 0) {
        flags.set(plug, Flag::Lock, false);
    }
    if (call.has("keyable")) {
        flags.set(plug, Flag::Keyable, call.intValue("keyable") != 0);
    }
    if (call.has("channelBox")) {
        flags.set(plug, Flag::ChannelBox, call.intValue("channelBox") != 0);
    }
    if (call.has("caching")) {
        flags.set(plug, Flag::Caching, call.intValue("caching") != 0);
    }
    if (!values.empty()) {
        if (isArrayPlug(plug) || plug.attribute->kind != AttributeRecord::Kind::Numeric) {
            return MelResult::failure("setAttr: '" + plugName + "' does not take values.");
        }
        if (!plug.attribute->writable) {
            return MelResult::failure("setAttr: The attribute '" + plugName + "' is not writable.");
        }
        // Maya's exact wording is not documented; the host's, after the one users report.
        if (flags.get(plug, Flag::Lock) || ScenePlugs::isConnected(plug)) {
            return MelResult::failure("setAttr: The attribute '" + plugName +
                                      "' is locked or connected and cannot be modified.");
        }
        const std::size_t wanted = ScenePlugs::scalars(plug).size();
        if (values.size() != wanted) {
            return MelResult::failure("setAttr: '" + plugName + "' takes " +
                                      std::to_string(wanted) + " value(s); " +
                                      std::to_string(values.size()) + " were given.");
        }
        if (!ScenePlugs::write(plug, values)) {
            return MelResult::failure("setAttr: '" + plugName + "' could not be set.");
        }
    } else if (!call.has("lock") && !call.has("keyable") && !call.has("channelBox") &&
               !call.has("caching")) {
        return MelResult::failure("setAttr: No data was provided for '" + plugName + "'.");
    }
    if (call.has("lock") && call.intValue("lock") != 0) {
        flags.set(plug, Flag::Lock, true);
    }
    return MelResult::success();
}

// ---- connections

// The plug that drives `plug`, looking through a conversion node: its own input.
bool sourceOf(const PlugRef& plug, PlugRef& source, bool throughConversion) {
    Graph& graph = hostState().graph;
    Graph::Connection driven;
    if (!graph.input(plug, driven)) {
        return false;
    }
    source = driven.source;
    if (throughConversion && source.node->type.conversion) {
        PlugRef input;
        input.node = source.node;
        input.attribute = hostState().types.builtins().conversionInput;
        Graph::Connection fed;
        if (graph.input(input, fed)) {
            source = fed.source;
        }
    }
    return true;
}

bool samePlug(const PlugRef& a, const PlugRef& b) {
    return a.node == b.node && a.attribute == b.attribute && a.hasIndex == b.hasIndex &&
           (!a.hasIndex || a.index == b.index);
}

// The source and destination plugs a connecting command names.
bool resolveEnds(const MelInvocation& call, PlugRef& from, PlugRef& to, MelResult& failure) {
    return resolve(call.positionals()[0].asString(), from, failure) &&
           resolve(call.positionals()[1].asString(), to, failure);
}

MelResult connectAttr(const MelInvocation& call, MelContext& context, PlugFlags& flags) {
    PlugRef from;
    PlugRef to;
    MelResult failure;
    if (!resolveEnds(call, from, to, failure)) {
        return failure;
    }
    if (call.has("nextAvailable")) {
        if (!isArrayPlug(to)) {
            return MelResult::failure("connectAttr: -nextAvailable needs an array destination.");
        }
        unsigned int next = 0;
        for (unsigned int index : elementIndices(to)) {
            next = std::max(next, index + 1);
        }
        for (const Graph::Connection& c : hostState().graph.incoming(to.node, to.attribute)) {
            next = std::max(next, c.destination.index + 1);
        }
        to.hasIndex = true;
        to.index = next;
    }
    const std::string fromText = ScenePlugs::name(from);
    const std::string toText = ScenePlugs::name(to);
    PlugRef current;
    // Already so connected: Maya warns and leaves it, with or without -force.
    if (sourceOf(to, current, true) && samePlug(current, from)) {
        context.warning("'" + fromText + "' is already connected to '" + toText + "'.");
        return MelResult::success();
    }
    if (call.has("lock") && call.intValue("lock") == 0) {
        flags.set(to, Flag::Lock, false);
    }
    // The wordings below are the host's: Maya's are not documented.
    if (flags.get(to, Flag::Lock)) {
        return MelResult::failure("connectAttr: The destination attribute '" + toText +
                                  "' is locked.");
    }
    // A conversion node takes one value or three, as its input is generic in Maya.
    const bool conversionEnd = from.node->type.conversion || to.node->type.conversion;
    if ((!conversionEnd && ScenePlugs::scalars(from).size() != ScenePlugs::scalars(to).size()) ||
        from.attribute->kind != AttributeRecord::Kind::Numeric ||
        to.attribute->kind != AttributeRecord::Kind::Numeric) {
        return MelResult::failure("connectAttr: The attributes '" + fromText + "' and '" + toText +
                                  "' are not compatible.");
    }
    if (ScenePlugs::isConnected(to)) {
        if (!call.has("force")) {
            return MelResult::failure("connectAttr: '" + toText +
                                      "' already has an incoming connection.");
        }
        UnitConversion::disconnectInput(to);
    }
    MDGModifier modifier;
    MStatus status = modifier.connect(HostAccess::makePlug(from), HostAccess::makePlug(to));
    if (status) {
        status = modifier.doIt();
    }
    if (!status) {
        return MelResult::failure("Connection not made: '" + fromText + "' -> '" + toText + "'.");
    }
    if (call.has("lock") && call.intValue("lock") != 0) {
        flags.set(to, Flag::Lock, true);
    }
    return text("Connected " + fromText + " to " + toText + ".");
}

MelResult disconnectAttr(const MelInvocation& call, MelContext&) {
    PlugRef from;
    PlugRef to;
    MelResult failure;
    if (!resolveEnds(call, from, to, failure)) {
        return failure;
    }
    PlugRef current;
    if (!sourceOf(to, current, true) || !samePlug(current, from)) {
        return MelResult::failure("There is no connection from '" + ScenePlugs::name(from) +
                                  "' to '" + ScenePlugs::name(to) + "' to disconnect");
    }
    UnitConversion::disconnectInput(to);
    return text("Disconnect " + ScenePlugs::name(from) + " from " + ScenePlugs::name(to) + ".");
}

// Whether a connection's plug on the node is the plug asked about (or lies within it).
bool within(const PlugRef& end, const PlugRef& asked) {
    if (asked.attribute == nullptr) {
        return true;
    }
    const bool attributeOk = end.attribute == asked.attribute ||
                             end.attribute->root() == asked.attribute ||
                             end.attribute == asked.attribute->root();
    const bool indexOk = !asked.hasIndex || !end.hasIndex || end.index == asked.index;
    return attributeOk && indexOk;
}

MelResult listConnections(const MelInvocation& call, MelContext&) {
    HostState& host = hostState();
    const bool sources = call.boolValue("source", true);
    const bool destinations = call.boolValue("destination", true);
    const bool plugs = call.boolValue("plugs", false);
    const bool pairs = call.boolValue("connections", false);
    const bool skip = call.boolValue("skipConversionNodes", false);
    const std::string type = call.stringValue("type");
    const bool exact = call.boolValue("exactType", false);
    std::vector<std::string> found;
    for (const MelValue& value : call.positionals()) {
        const std::string name = value.asString();
        PlugRef asked;
        NodeRecord* node = nullptr;
        if (name.find('.') != std::string::npos) {
            MelResult failure;
            if (!resolve(name, asked, failure)) {
                return failure;
            }
            node = asked.node;
        } else {
            node = ScenePlugs::node(name);
            if (node == nullptr) {
                return MelResult::failure("No object matches name: " + name);
            }
        }
        for (const Graph::Connection& c : host.graph.connectionsOf(node)) {
            const bool incoming = c.destination.node == node && within(c.destination, asked);
            const bool outgoing = c.source.node == node && within(c.source, asked);
            std::vector<std::pair<PlugRef, PlugRef>> ends;  // (this side, other side)
            if (incoming && sources) {
                PlugRef other = c.source;
                if (skip) {
                    sourceOf(c.destination, other, true);
                }
                ends.emplace_back(c.destination, other);
            }
            if (outgoing && destinations) {
                if (skip && c.destination.node->type.conversion) {
                    PlugRef output;
                    output.node = c.destination.node;
                    output.attribute = host.types.builtins().conversionOutput;
                    for (const Graph::Connection& onward :
                         host.graph.outgoing(output.node, output.attribute)) {
                        ends.emplace_back(c.source, onward.destination);
                    }
                } else {
                    ends.emplace_back(c.source, c.destination);
                }
            }
            for (const auto& [mine, other] : ends) {
                if (!type.empty() &&
                    (exact ? other.node->type.name != type
                           : !NodeTypeNames::derivesFrom(other.node->type, type))) {
                    continue;
                }
                if (pairs) {
                    found.push_back(ScenePlugs::name(mine));
                }
                found.push_back(plugs ? ScenePlugs::name(other) : host.scene.nameOf(other.node));
            }
        }
    }
    return MelResult::success(MelValue::ofStrings(found));
}

}  // namespace

bool AttributeCommands::install(MelInterpreter& interpreter, PlugFlags& flags) {
    PlugFlags* kept = &flags;
    bool all = interpreter.registerCommand(MelSyntax("getAttr")
                                               .addFlag("asString", "as")
                                               .addFlag("caching", "ca")
                                               .addFlag("channelBox", "cb")
                                               .addFlag("keyable", "k")
                                               .addFlag("lock", "l")
                                               .addFlag("multiIndices", "mi")
                                               .addFlag("settable", "se")
                                               .addFlag("silent", "sl")
                                               .addFlag("size", "s")
                                               .addFlag("time", "t", {Arg::Time})
                                               .addFlag("type", "typ")
                                               .setPositionals(1, 1, Arg::String),
                                           [kept](const MelInvocation& call, MelContext& context) {
                                               return getAttr(call, context, *kept);
                                           });
    all = interpreter.registerCommand(MelSyntax("setAttr")
                                          .addFlag("type", "typ", {Arg::String})
                                          .addFlag("lock", "l", {Arg::Bool})
                                          .addFlag("keyable", "k", {Arg::Bool})
                                          .addFlag("channelBox", "cb", {Arg::Bool})
                                          .addFlag("caching", "ca", {Arg::Bool})
                                          .addFlag("size", "s", {Arg::Int})
                                          .addFlag("clamp", "c")
                                          .addFlag("alteredValue", "av")
                                          .setPositionals(1, kAny, Arg::Any),
                                      [kept](const MelInvocation& call, MelContext& context) {
                                          return setAttr(call, context, *kept);
                                      }) &&
          all;
    all = interpreter.registerCommand(MelSyntax("connectAttr")
                                          .addFlag("force", "f")
                                          .addFlag("lock", "l", {Arg::Bool})
                                          .addFlag("nextAvailable", "na")
                                          .addFlag("referenceDest", "rd", {Arg::String})
                                          .setPositionals(2, 2, Arg::String),
                                      [kept](const MelInvocation& call, MelContext& context) {
                                          return connectAttr(call, context, *kept);
                                      }) &&
          all;
    all = interpreter.registerCommand(MelSyntax("disconnectAttr")
                                          .addFlag("nextAvailable", "na")
                                          .setPositionals(2, 2, Arg::String),
                                      disconnectAttr) &&
          all;
    all = interpreter.registerCommand(MelSyntax("listConnections")
                                          .addFlag("source", "s", {Arg::Bool})
                                          .addFlag("destination", "d", {Arg::Bool})
                                          .addFlag("plugs", "p", {Arg::Bool})
                                          .addFlag("connections", "c", {Arg::Bool})
                                          .addFlag("type", "t", {Arg::String})
                                          .addFlag("exactType", "et", {Arg::Bool})
                                          .addFlag("skipConversionNodes", "scn", {Arg::Bool})
                                          .addFlag("shapes", "sh", {Arg::Bool})
                                          .setPositionals(0, kAny, Arg::String),
                                      listConnections) &&
          all;
    all = KeyframeCommand::install(interpreter) && all;
    all = SceneFileCommands::install(interpreter) && all;
    return all;
}

}  // namespace mayahost
