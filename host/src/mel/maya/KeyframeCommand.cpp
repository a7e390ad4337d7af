#include "KeyframeCommand.h"

#include <maya/MTime.h>

#include <cmath>
#include <cstdlib>

#include "AnimCurveKeys.h"
#include "Evaluator.h"
#include "Graph.h"
#include "HostState.h"
#include "MelInterpreter.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "Scene.h"
#include "ScenePlugs.h"
#include "UnitConversion.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned Q = MelFlag::kQuery;
// Maya's value for linear in and out tangents; the host's curves are linear only.
constexpr int kLinearTangent = 2;

PlugRef curveOutput(NodeRecord* curve) {
    PlugRef plug;
    plug.node = curve;
    plug.attribute = hostState().types.builtins().curveOutput;
    return plug;
}

// UI units per internal unit of the curve's values: an angle curve shows degrees in a
// degree scene, a distance curve metres in a metre scene.
double internalPerUi(NodeRecord* curve) {
    return UnitConversion::internalPerUi(UnitConversion::unitOf(curveOutput(curve)));
}

// The curve that drives a plug, directly or through a conversion node; null when none does.
NodeRecord* drivingCurve(const PlugRef& plug) {
    Graph& graph = hostState().graph;
    Graph::Connection driven;
    if (!graph.input(plug, driven)) {
        return nullptr;
    }
    NodeRecord* source = driven.source.node;
    if (source->type.conversion) {
        PlugRef input;
        input.node = source;
        input.attribute = hostState().types.builtins().conversionInput;
        Graph::Connection fed;
        if (!graph.input(input, fed)) {
            return nullptr;
        }
        source = fed.source.node;
    }
    return source->curve != nullptr ? source : nullptr;
}

// A curve by name, or the curve driving a plug ("joint.rx"); Maya's -attribute flag is not
// modelled.
bool curveNamed(const std::string& name, NodeRecord*& curve, MelResult& failure) {
    std::string error;
    if (name.find('.') == std::string::npos) {
        curve = ScenePlugs::node(name);
        if (curve == nullptr) {
            failure = MelResult::failure("No object matches name: " + name);
            return false;
        }
        if (curve->curve == nullptr) {
            // Maya would list every animated attribute; the host asks for one.
            failure = MelResult::failure("keyframe: '" + name +
                                         "' is not an animation curve; name an attribute.");
            return false;
        }
        return true;
    }
    PlugRef plug;
    if (!ScenePlugs::plug(name, plug, error)) {
        failure = MelResult::failure(error);
        return false;
    }
    curve = drivingCurve(plug);
    if (curve == nullptr) {
        failure = MelResult::failure("keyframe: no animation curve drives '" + name + "'.");
        return false;
    }
    return true;
}

MelResult keyframe(const MelInvocation& call, MelContext&) {
    if (!call.isQuery()) {
        return MelResult::failure("keyframe: this host models -query only.");
    }
    std::vector<double> times;
    std::vector<double> values;
    for (const MelValue& target : call.positionals()) {
        NodeRecord* curve = nullptr;
        MelResult failure;
        if (!curveNamed(target.asString(), curve, failure)) {
            return failure;
        }
        const double perUi = internalPerUi(curve);
        for (const auto& [time, value] : curve->curve->keys(MTime::uiUnit())) {
            times.push_back(time);
            values.push_back(value / perUi);
        }
    }
    if (call.has("keyframeCount")) {
        return MelResult::success(MelValue::ofInt(static_cast<int>(values.size())));
    }
    if (call.has("timeChange")) {
        return MelResult::success(MelValue::ofFloats(times));
    }
    if (call.has("valueChange")) {
        return MelResult::success(MelValue::ofFloats(values));
    }
    return MelResult::failure("keyframe: query -valueChange, -timeChange or -keyframeCount.");
}

// "ktv[0:4]" -> "ktv", 0, 4; "tan" -> "tan", -1, -1.
bool splitRange(const std::string& attribute, std::string& name, long& first, long& last) {
    const std::size_t open = attribute.find('[');
    name = attribute.substr(0, open);
    first = -1;
    last = -1;
    if (open == std::string::npos) {
        return true;
    }
    const std::size_t close = attribute.find(']', open);
    if (close != attribute.size() - 1) {
        return false;
    }
    const std::string inside = attribute.substr(open + 1, close - open - 1);
    const std::size_t colon = inside.find(':');
    char* end = nullptr;
    first = std::strtol(inside.c_str(), &end, 10);
    if (colon == std::string::npos) {
        last = first;
        return end == inside.c_str() + inside.size() && first >= 0;
    }
    const std::string tail = inside.substr(colon + 1);
    char* tailEnd = nullptr;
    last = std::strtol(tail.c_str(), &tailEnd, 10);
    return end == inside.c_str() + colon && tailEnd == tail.c_str() + tail.size() && first >= 0 &&
           last >= first;
}

bool isKeyName(const std::string& name) {
    for (const char* known : {"ktv", "keyTimeValue", "kit", "keyTanInType", "kot", "keyTanOutType",
                              "tan", "tangentType", "wgt", "weightedTangents"}) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool KeyframeCommand::isKeyAttribute(const NodeRecord& node, const std::string& attribute) {
    std::string name;
    long first = 0;
    long last = 0;
    return node.curve != nullptr && splitRange(attribute, name, first, last) && isKeyName(name);
}

MelResult KeyframeCommand::setKeyAttribute(NodeRecord& node, const std::string& attribute,
                                           const std::vector<double>& values) {
    std::string name;
    long first = 0;
    long last = 0;
    if (!splitRange(attribute, name, first, last) || !isKeyName(name)) {
        return MelResult::failure("setAttr: '" + attribute + "' is not a key attribute.");
    }
    const std::size_t elements = first < 0 ? 1 : static_cast<std::size_t>(last - first) + 1;
    const bool pairs = name == "ktv" || name == "keyTimeValue";
    if (values.size() != elements * (pairs ? 2 : 1)) {
        return MelResult::failure("setAttr: '" + attribute + "' takes " +
                                  std::to_string(elements * (pairs ? 2 : 1)) + " value(s); " +
                                  std::to_string(values.size()) + " were given.");
    }
    if (name == "wgt" || name == "weightedTangents") {
        if (values[0] != 0.0) {
            return MelResult::failure("setAttr: this host models unweighted tangents only.");
        }
        return MelResult::success();
    }
    if (!pairs) {
        // Tangents other than linear would evaluate differently from Maya's: refused.
        for (const double tangent : values) {
            if (tangent != kLinearTangent) {
                return MelResult::failure("setAttr: this host's curves are linear; tangent type " +
                                          std::to_string(static_cast<int>(tangent)) +
                                          " is not modelled.");
            }
        }
        return MelResult::success();
    }
    // A scene file holds keys in its UI units; the curve keeps internal ones.
    const double perUi = internalPerUi(&node);
    for (std::size_t k = 0; k < values.size(); k += 2) {
        AnimCurveKeys::Change change;
        if (!std::isfinite(values[k + 1]) ||
            !node.curve->add(MTime(values[k], MTime::uiUnit()), values[k + 1] * perUi, change)) {
            return MelResult::failure("setAttr: key " + std::to_string(k / 2) + " of '" +
                                      attribute + "' has no valid time.");
        }
    }
    Evaluator::touch(node, hostState().types.builtins().curveOutput);
    return MelResult::success();
}

bool KeyframeCommand::install(MelInterpreter& interpreter) {
    return interpreter.registerCommand(MelSyntax("keyframe")
                                           .addFlag("valueChange", "vc", {}, Q)
                                           .addFlag("timeChange", "tc", {}, Q)
                                           .addFlag("keyframeCount", "kc", {}, Q)
                                           .setPositionals(1, MelSyntax::kUnlimited, Arg::String),
                                       keyframe);
}

}  // namespace mayahost
