#include "ScenePlugs.h"

#include <maya/MFnNumericData.h>
#include <maya/MPlug.h>

#include <cstdlib>

#include "AttributeRecord.h"
#include "Evaluator.h"
#include "Graph.h"
#include "HostAccess.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "Scene.h"
#include "TimeUnits.h"
#include "Timeline.h"
#include "UnitConversion.h"

namespace mayahost {

namespace {

// One dotted part of an attribute path: a name with an optional [index].
bool splitIndex(const std::string& part, std::string& name, bool& hasIndex, unsigned int& index) {
    const std::size_t open = part.find('[');
    hasIndex = open != std::string::npos;
    name = part.substr(0, open);
    if (!hasIndex) {
        return !name.empty();
    }
    if (part.back() != ']' || open + 2 > part.size() - 1) {
        return false;
    }
    const std::string digits = part.substr(open + 1, part.size() - open - 2);
    char* end = nullptr;
    const unsigned long value = std::strtoul(digits.c_str(), &end, 10);
    if (digits.empty() || *end != '\0' || digits[0] == '-' || value > 0xFFFFFFFFUL) {
        return false;
    }
    index = static_cast<unsigned int>(value);
    return !name.empty();
}

}  // namespace

NodeRecord* ScenePlugs::node(const std::string& nameOrPath) {
    Scene& scene = hostState().scene;
    const std::size_t bar = nameOrPath.rfind('|');
    if (bar == std::string::npos) {
        return nameOrPath.empty() ? nullptr : scene.find(nameOrPath);
    }
    NodeRecord* found = scene.find(nameOrPath.substr(bar + 1));
    if (found == nullptr) {
        return nullptr;
    }
    const std::string path = scene.pathOf(found);
    const std::string wanted = nameOrPath[0] == '|' ? nameOrPath : "|" + nameOrPath;
    const bool matches =
        path == wanted || (path.size() > wanted.size() &&
                           path.compare(path.size() - wanted.size(), wanted.size(), wanted) == 0);
    return matches ? found : nullptr;
}

bool ScenePlugs::plug(const std::string& text, PlugRef& out, std::string& error) {
    error = "No object matches name: " + text;
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) {
        return false;
    }
    NodeRecord* owner = node(text.substr(0, dot));
    if (owner == nullptr) {
        return false;
    }
    out = PlugRef();
    out.node = owner;
    std::string rest = text.substr(dot + 1);
    const AttributeRecord* current = nullptr;
    while (!rest.empty()) {
        const std::size_t next = rest.find('.');
        const std::string part = rest.substr(0, next);
        rest = next == std::string::npos ? std::string() : rest.substr(next + 1);
        std::string attributeName;
        bool hasIndex = false;
        unsigned int index = 0;
        if (!splitIndex(part, attributeName, hasIndex, index)) {
            return false;
        }
        const AttributeRecord* found = owner->type.find(attributeName);
        // After the first part, only a child of the compound named so far.
        if (found == nullptr || (current != nullptr && found->parent != current)) {
            return false;
        }
        if (hasIndex) {
            if (!found->array || out.hasIndex) {
                return false;
            }
            out.hasIndex = true;
            out.index = index;
        }
        current = found;
    }
    if (current == nullptr) {
        return false;
    }
    out.attribute = current;
    return true;
}

std::string ScenePlugs::name(const PlugRef& plug) {
    // As Maya names plugs: a child of a plain compound by itself ("j.translateX"), a child of
    // an array element after its element ("n.output[2].output0").
    const AttributeRecord* root = plug.attribute->root();
    std::string text = hostState().scene.nameOf(plug.node) + ".";
    if (!root->array) {
        return text + plug.attribute->longName;
    }
    text += root->longName;
    if (plug.hasIndex) {
        text += "[" + std::to_string(plug.index) + "]";
    }
    if (plug.attribute != root) {
        text += "." + plug.attribute->longName;
    }
    return text;
}

bool ScenePlugs::isInteger(const AttributeRecord* attribute) {
    switch (componentType(attribute->numericType)) {
        case MFnNumericData::kBoolean:
        case MFnNumericData::kByte:
        case MFnNumericData::kChar:
        case MFnNumericData::kShort:
        case MFnNumericData::kInt:
        case MFnNumericData::kInt64:
            return true;
        default:
            return false;
    }
}

bool ScenePlugs::read(const PlugRef& plug, std::vector<double>& values) {
    if (!Evaluator::readAll(plug, values)) {
        return false;
    }
    const double perUi = UnitConversion::internalPerUi(UnitConversion::unitOf(plug));
    for (double& value : values) {
        value /= perUi;
    }
    return true;
}

bool ScenePlugs::readAt(const PlugRef& plug, double uiTime, std::vector<double>& values) {
    const Timeline& timeline = hostState().timeline;
    if (!Evaluator::readInContext(plug, uiTime * TimeUnits::dgUnitsPerUnit(timeline.uiUnit()),
                                  values)) {
        return false;
    }
    const double perUi = UnitConversion::internalPerUi(UnitConversion::unitOf(plug));
    for (double& value : values) {
        value /= perUi;
    }
    return true;
}

std::vector<PlugRef> ScenePlugs::scalars(const PlugRef& plug) {
    if (!plug.attribute->isCompound()) {
        return {plug};
    }
    std::vector<PlugRef> children;
    for (const AttributeRecord* child : plug.attribute->children) {
        PlugRef each = plug;
        each.attribute = child;
        children.push_back(each);
    }
    return children;
}

MStatus ScenePlugs::write(const PlugRef& plug, const std::vector<double>& values) {
    const std::vector<PlugRef> targets = scalars(plug);
    if (values.size() != targets.size()) {
        return MStatus::kInvalidParameter;
    }
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const double perUi = UnitConversion::internalPerUi(UnitConversion::unitOf(targets[k]));
        const MStatus status =
            Evaluator::write(HostAccess::makePlug(targets[k]), values[k] * perUi);
        if (!status) {
            return status;
        }
    }
    return MStatus::kSuccess;
}

bool ScenePlugs::isConnected(const PlugRef& plug) {
    Graph::Connection found;
    return hostState().graph.input(plug, found);
}

}  // namespace mayahost
