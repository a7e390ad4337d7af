#include "SceneCommands.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "HostState.h"
#include "MelInterpreter.h"
#include "MelText.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "NodeTypeNames.h"
#include "Scene.h"
#include "ScenePlugs.h"
#include "TypeRegistry.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr std::size_t kAny = MelSyntax::kUnlimited;

MelResult text(const std::string& value) {
    return MelResult::success(MelValue::ofString(value));
}

MelResult noObject(const std::string& name) {
    return MelResult::failure("No object matches name: " + name);
}

// The nodes a name or pattern stands for: a glob over names, or over DAG paths when it holds
// a '|'.
bool named(Scene& scene, const NodeRecord* node, const std::string& pattern) {
    if (pattern.find('|') == std::string::npos) {
        return MelText::glob(scene.nameOf(node), pattern);
    }
    const std::string path = scene.pathOf(node);
    const std::string wanted = pattern[0] == '|' ? pattern : "*|" + pattern;
    return MelText::glob(path, wanted);
}

MelResult createNodeCommand(const MelInvocation& call, MelContext&) {
    HostState& host = hostState();
    const std::string typeName = call.positionals()[0].asString();
    const std::string name = call.stringValue("name");
    const NodeType* type = host.types.find(typeName);
    if (type == nullptr) {
        // The wording for an unknown type is not documented; the host's own.
        return MelResult::failure("Unknown object type: " + typeName);
    }
    if (call.has("shared") && !name.empty() && host.scene.find(name) != nullptr) {
        return text(name);
    }
    NodeRecord* parent = nullptr;
    if (call.has("parent")) {
        const std::string parentName = call.stringValue("parent");
        parent = ScenePlugs::node(parentName);
        if (parent == nullptr) {
            return noObject(parentName);
        }
        if (!Scene::isDag(*type) || !Scene::isDag(parent->type)) {
            return MelResult::failure("createNode: only DAG nodes go under a transform; '" +
                                      parentName + "' or a " + typeName + " is not one.");
        }
    }
    MStatus status;
    NodeRecord* made = host.scene.create(*type, name, status);
    if (made == nullptr) {
        return MelResult::failure("createNode: the " + typeName + " could not be made.");
    }
    if (parent != nullptr) {
        host.scene.setParent(made, parent);
    }
    // Undone as a deletion would be redone, so an undo chunk around a script that made nodes
    // takes them back with their connections.
    Scene& scene = host.scene;
    UndoQueue::Step step;
    step.name = "createNode";
    step.undo = [&scene, made] { return static_cast<bool>(scene.remove(made)); };
    step.redo = [&scene, made] { return scene.restore(made); };
    scene.undoQueue().push(std::move(step));
    return text(host.scene.nameOf(made));
}

MelResult deleteNodes(const MelInvocation& call, MelContext&) {
    HostState& host = hostState();
    if (call.positionals().empty()) {
        // Nothing given and no selection: the host keeps none.
        return MelResult::failure("Not enough objects or values.");
    }
    std::vector<NodeRecord*> doomed;
    for (const MelValue& value : call.positionals()) {
        NodeRecord* node = ScenePlugs::node(value.asString());
        if (node == nullptr) {
            return noObject(value.asString());
        }
        doomed.push_back(node);
    }
    // One undo step for all of them; one named below another goes with it.
    host.scene.removeUndoably(doomed);
    return MelResult::success();
}

MelResult renameNode(const MelInvocation& call, MelContext& context) {
    HostState& host = hostState();
    if (call.positionals().size() < 2) {
        return MelResult::failure("Not enough objects or values.");
    }
    const std::string old = call.positionals()[0].asString();
    NodeRecord* node = ScenePlugs::node(old);
    if (node == nullptr) {
        return noObject(old);
    }
    std::string wanted = call.positionals()[1].asString();
    if (wanted.empty()) {
        return MelResult::failure("rename: the new name may not be empty.");
    }
    bool cleaned = false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const char c = wanted[i];
        const bool hash = c == '#' && i + 1 == wanted.size();
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '_' && !hash) {
            wanted[i] = '_';
            cleaned = true;
        }
    }
    if (cleaned) {
        context.warning(
            "New name contains invalid characters. Illegal characters were converted to \"_\".");
    }
    if (wanted.back() == '#') {
        // A trailing '#' becomes the number that makes the name unique.
        wanted.pop_back();
        for (unsigned long n = 1;; ++n) {
            const std::string candidate = wanted + std::to_string(n);
            if (host.scene.find(candidate) == nullptr) {
                wanted = candidate;
                break;
            }
        }
    }
    return text(host.scene.rename(node, wanted));
}

MelResult objExists(const MelInvocation& call, MelContext&) {
    const std::string name = call.positionals()[0].asString();
    PlugRef plug;
    std::string error;
    const bool found = name.find('.') != std::string::npos ? ScenePlugs::plug(name, plug, error)
                                                           : ScenePlugs::node(name) != nullptr;
    return MelResult::success(MelValue::ofInt(found ? 1 : 0));
}

MelResult nodeType(const MelInvocation& call, MelContext&) {
    HostState& host = hostState();
    const std::string name = call.positionals()[0].asString();
    const NodeType* type = nullptr;
    if (call.has("isTypeName")) {
        type = host.types.find(name);
        if (type == nullptr) {
            return MelResult::failure("Unknown object type: " + name);
        }
    } else {
        NodeRecord* node = ScenePlugs::node(name.substr(0, name.find('.')));
        if (node == nullptr) {
            return noObject(name);
        }
        type = &node->type;
    }
    if (call.has("apiType")) {
        return text(NodeTypeNames::apiTypeName(*type));
    }
    if (call.has("inherited")) {
        return MelResult::success(MelValue::ofStrings(NodeTypeNames::inherited(*type)));
    }
    if (call.has("derived")) {
        // The types of the scene's nodes that derive from it, itself included.
        std::vector<std::string> derived;
        for (const NodeRecord* node : host.scene.nodes()) {
            const std::string& each = node->type.name;
            if (NodeTypeNames::derivesFrom(node->type, type->name) &&
                std::find(derived.begin(), derived.end(), each) == derived.end()) {
                derived.push_back(each);
            }
        }
        return MelResult::success(MelValue::ofStrings(derived));
    }
    return text(type->name);
}

MelResult ls(const MelInvocation& call, MelContext&) {
    Scene& scene = hostState().scene;
    const std::vector<std::string> types = call.stringValues("type");
    const std::vector<std::string> exactTypes = call.stringValues("exactType");
    for (const std::vector<std::string>* list : {&types, &exactTypes}) {
        for (const std::string& type : *list) {
            // Maya does not document this case; the host refuses a type it does not know.
            if (!NodeTypeNames::known(type)) {
                return MelResult::failure("Unknown object type: " + type);
            }
        }
    }
    std::vector<std::string> found;
    if (call.has("selection")) {
        return MelResult::success(MelValue::ofStrings(found));  // the host selects nothing
    }
    for (const NodeRecord* node : scene.nodes()) {
        bool typeOk = types.empty() && exactTypes.empty();
        for (const std::string& type : types) {
            typeOk = typeOk || NodeTypeNames::derivesFrom(node->type, type);
        }
        for (const std::string& type : exactTypes) {
            typeOk = typeOk || node->type.name == type;
        }
        if (!typeOk || (call.has("dagObjects") && !Scene::isDag(node->type))) {
            continue;
        }
        bool wanted = call.positionals().empty();
        for (const MelValue& pattern : call.positionals()) {
            wanted = wanted || named(scene, node, pattern.asString());
        }
        if (!wanted) {
            continue;
        }
        found.push_back(call.has("long") ? scene.pathOf(node) : scene.nameOf(node));
        if (call.has("showType")) {
            found.push_back(node->type.name);
        }
    }
    return MelResult::success(MelValue::ofStrings(found));
}

}  // namespace

bool SceneCommands::install(MelInterpreter& interpreter) {
    bool all = interpreter.registerCommand(MelSyntax("createNode")
                                               .addFlag("name", "n", {Arg::String})
                                               .addFlag("parent", "p", {Arg::String})
                                               .addFlag("shared", "s")
                                               .addFlag("skipSelect", "ss")
                                               .setPositionals(1, 1, Arg::String),
                                           createNodeCommand);
    all = interpreter.registerCommand(MelSyntax("delete").setPositionals(0, kAny, Arg::String),
                                      deleteNodes) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("rename").addFlag("ignoreShape", "is").setPositionals(1, 2, Arg::String),
              renameNode) &&
          all;
    all = interpreter.registerCommand(MelSyntax("objExists").setPositionals(1, 1, Arg::String),
                                      objExists) &&
          all;
    all = interpreter.registerCommand(MelSyntax("nodeType")
                                          .addFlag("apiType", "api")
                                          .addFlag("derived", "d")
                                          .addFlag("inherited", "i")
                                          .addFlag("isTypeName", "itn")
                                          .setPositionals(1, 1, Arg::String),
                                      nodeType) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("ls")
                  .addFlag("type", "typ", {Arg::String}, MelFlag::kCreate, true)
                  .addFlag("exactType", "et", {Arg::String}, MelFlag::kCreate, true)
                  .addFlag("long", "l")
                  .addFlag("showType", "st")
                  .addFlag("dagObjects", "dag")
                  .addFlag("selection", "sl")
                  .addFlag("shortNames", "sn")
                  .setPositionals(0, kAny, Arg::String),
              ls) &&
          all;
    return all;
}

}  // namespace mayahost
