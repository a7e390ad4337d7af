#include "Scene.h"

#include <maya/MPxThreadedDeviceNode.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <utility>

#include "AnimCurveKeys.h"
#include "Arena.h"
#include "AttributeRecord.h"
#include "CaptureThread.h"
#include "DeviceState.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "RefreshBoard.h"
#include "TypeRegistry.h"

namespace mayahost {

Scene::Scene(Arena& arena, TypeRegistry& types, Graph& graph, RefreshBoard& board)
    : arena_(arena), types_(types), graph_(graph), board_(board) {
    ensureDefaults();
}

void Scene::ensureDefaults() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (time_ != nullptr) {
        return;
    }
    time_ = arena_.make<NodeRecord>(*types_.builtins().timeType);
    time_->initializeStorage();
    time_->name = uniqueNameLocked("time1", "time");
    addLocked(time_);
}

NodeRecord* Scene::timeNode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return time_;
}

bool Scene::nameTakenLocked(const std::string& name, const NodeRecord* except) const {
    const auto found = byName_.find(name);
    return found != byName_.end() && found->second != except;
}

void Scene::addLocked(NodeRecord* node) {
    nodes_.push_back(node);
    ++listChanges_;
    byName_[node->name] = node;
}

void Scene::dropNameLocked(const NodeRecord* node) {
    const auto found = byName_.find(node->name);
    if (found != byName_.end() && found->second == node) {
        byName_.erase(found);
    }
}

std::string Scene::uniqueNameLocked(const std::string& requested,
                                    const std::string& typeName) const {
    if (!requested.empty() && !nameTakenLocked(requested, nullptr)) {
        return requested;
    }
    std::string base = requested.empty() ? typeName : requested;
    while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back())) != 0) {
        base.pop_back();
    }
    for (unsigned long n = 1;; ++n) {
        std::string candidate = base + std::to_string(n);
        if (!nameTakenLocked(candidate, nullptr)) {
            return candidate;
        }
    }
}

NodeRecord* Scene::create(const NodeType& type, const std::string& requestedName, MStatus& status) {
    MPxNode* user = nullptr;
    if (type.creator != nullptr) {
        user = static_cast<MPxNode*>(type.creator());
        if (user == nullptr) {
            status = MStatus::kFailure;
            return nullptr;
        }
    }
    auto* device = dynamic_cast<MPxThreadedDeviceNode*>(user);
    if (type.isThreadedDevice() && device == nullptr) {
        std::fprintf(stderr, "// Error: %s is not a threaded device node\n", type.name.c_str());
        delete user;
        status = MStatus::kInvalidParameter;
        return nullptr;
    }
    NodeRecord* node = arena_.make<NodeRecord>(type);
    node->user = user;
    node->initializeStorage();
    if (type.curveType >= 0) {
        node->curve = std::make_unique<AnimCurveKeys>(type.curveType);
        // Dirty from the start, so whatever is connected later reads the keys, not 0.
        std::lock_guard<std::mutex> lock(node->mutex);
        node->slots[types_.builtins().curveOutput].markDirty();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        node->name = uniqueNameLocked(requestedName, type.name);
        addLocked(node);
    }
    if (user != nullptr) {
        HostAccess::bind(*user, node);
    }
    if (device != nullptr) {
        DeviceState* state = HostAccess::device(*device);
        state->node = node;
        state->board = &board_;
    }
    if (user != nullptr) {
        user->postConstructor();
    }
    if (device != nullptr) {
        node->capture = std::make_unique<CaptureThread>(*device, *HostAccess::device(*device));
        node->capture->start();
    }
    status = MStatus::kSuccess;
    return node;
}

bool Scene::isDag(const NodeType& type) {
    return type.apiType == MFn::kTransform;
}

MStatus Scene::setParent(NodeRecord* child, NodeRecord* parent) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto inScene = [this](const NodeRecord* node) {
        return std::find(nodes_.begin(), nodes_.end(), node) != nodes_.end();
    };
    if (child == nullptr || !inScene(child) || !isDag(child->type) ||
        (parent != nullptr && (!inScene(parent) || !isDag(parent->type)))) {
        return MStatus::kInvalidParameter;
    }
    for (const NodeRecord* above = parent; above != nullptr; above = above->parent) {
        if (above == child) {
            return MStatus::kInvalidParameter;
        }
    }
    child->parent = parent;
    return MStatus::kSuccess;
}

NodeRecord* Scene::parentOf(const NodeRecord* node) {
    std::lock_guard<std::mutex> lock(mutex_);
    return node->parent;
}

std::string Scene::pathOf(const NodeRecord* node) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!isDag(node->type)) {
        return node->name;
    }
    std::vector<const std::string*> names;
    for (const NodeRecord* at = node; at != nullptr; at = at->parent) {
        names.push_back(&at->name);
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        path.append("|").append(**it);
    }
    return path;
}

MStatus Scene::remove(NodeRecord* node) {
    Deletion deletion;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(nodes_.begin(), nodes_.end(), node) == nodes_.end()) {
            return MStatus::kInvalidParameter;
        }
        // What lies below a DAG node goes with it; nodes_ keeps parents before children.
        deletion.nodes.push_back(node);
        for (NodeRecord* candidate : nodes_) {
            for (const NodeRecord* above = candidate->parent; above != nullptr;
                 above = above->parent) {
                if (above == node) {
                    deletion.nodes.push_back(candidate);
                    break;
                }
            }
        }
    }
    for (NodeRecord* going : deletion.nodes) {
        MObject object = HostAccess::makeObject(going);
        hostState().callbacks.runNodeRemoval(going, object);
    }

    // Conversion nodes exist for the node's connections alone, so they go with it.
    const std::size_t owners = deletion.nodes.size();
    for (std::size_t k = 0; k < owners; ++k) {
        NodeRecord* owner = deletion.nodes[k];
        for (const Graph::Connection& c : graph_.connectionsOf(owner)) {
            NodeRecord* other = c.source.node == owner ? c.destination.node : c.source.node;
            if (other->type.conversion && std::find(deletion.nodes.begin(), deletion.nodes.end(),
                                                    other) == deletion.nodes.end()) {
                deletion.nodes.push_back(other);
            }
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++listChanges_;
        for (NodeRecord* gone : deletion.nodes) {
            nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), gone), nodes_.end());
            dropNameLocked(gone);
            if (gone == time_) {
                time_ = nullptr;
            }
        }
    }
    for (NodeRecord* gone : deletion.nodes) {
        for (Graph::Connection& c : graph_.removeNode(gone)) {
            deletion.connections.push_back(c);
        }
        board_.forget(gone);
        {
            std::lock_guard<std::mutex> lock(gone->mutex);
            gone->alive = false;
        }
        if (gone->capture != nullptr) {
            gone->capture->stop();
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    undo_.push_back(std::move(deletion));
    return MStatus::kSuccess;
}

bool Scene::restore(NodeRecord* node) {
    Deletion deletion;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = undo_.end();
        if (node == nullptr && !undo_.empty()) {
            found = undo_.end() - 1;
        } else {
            found = std::find_if(undo_.begin(), undo_.end(), [node](const Deletion& d) {
                return std::find(d.nodes.begin(), d.nodes.end(), node) != d.nodes.end();
            });
        }
        if (found == undo_.end()) {
            return false;
        }
        deletion = std::move(*found);
        undo_.erase(found);
        for (NodeRecord* back : deletion.nodes) {
            if (nameTakenLocked(back->name, nullptr)) {
                back->name = uniqueNameLocked(back->name, back->type.name);
            }
            addLocked(back);
            if (&back->type == types_.builtins().timeType && time_ == nullptr) {
                time_ = back;
            }
        }
        // A parent still on the undo queue is not there to go back under.
        for (NodeRecord* back : deletion.nodes) {
            if (back->parent != nullptr &&
                std::find(nodes_.begin(), nodes_.end(), back->parent) == nodes_.end()) {
                back->parent = nullptr;
            }
        }
    }
    for (NodeRecord* back : deletion.nodes) {
        std::lock_guard<std::mutex> lock(back->mutex);
        back->alive = true;
    }
    for (const Graph::Connection& c : deletion.connections) {
        if (graph_.connect(c.source, c.destination)) {
            Evaluator::markDirty(*c.destination.node, c.destination.attribute->root());
        }
    }
    for (NodeRecord* back : deletion.nodes) {
        for (const AttributeRecord* root : back->type.roots()) {
            if (back->type.isComputed(root)) {
                Evaluator::markDirty(*back, root);
            }
        }
        if (back->capture != nullptr) {
            back->capture->resume();
        }
    }
    return true;
}

MStatus Scene::removeUndoably(const std::vector<NodeRecord*>& nodes) {
    std::vector<NodeRecord*> removed;
    MStatus result = MStatus::kSuccess;
    for (NodeRecord* node : nodes) {
        bool present = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            present = std::find(nodes_.begin(), nodes_.end(), node) != nodes_.end();
        }
        if (!present) {
            continue;  // went with a parent deleted before it
        }
        const MStatus status = remove(node);
        if (status) {
            removed.push_back(node);
        } else {
            result = status;
        }
    }
    if (removed.empty()) {
        return result ? MStatus(MStatus::kInvalidParameter) : result;  // none was in the scene
    }
    UndoQueue::Step step;
    step.name = "delete";
    step.undo = [this, removed] {
        bool all = true;
        for (auto node = removed.rbegin(); node != removed.rend(); ++node) {
            all = restore(*node) && all;
        }
        return all;
    };
    step.redo = [this, removed] {
        bool all = true;
        for (NodeRecord* node : removed) {
            all = static_cast<bool>(remove(node)) && all;
        }
        return all;
    };
    undoQueue_.push(std::move(step));
    return result;
}

void Scene::flushUndo() {
    undoQueue_.clear();
    std::vector<Deletion> kept;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        kept.swap(undo_);
    }
    for (Deletion& deletion : kept) {
        for (NodeRecord* node : deletion.nodes) {
            destroy(node);
        }
    }
}

std::size_t Scene::deletionsKept() {
    std::lock_guard<std::mutex> lock(mutex_);
    return undo_.size();
}

void Scene::destroy(NodeRecord* node) {
    board_.forget(node);
    graph_.removeNode(node);
    {
        std::lock_guard<std::mutex> lock(node->mutex);
        node->alive = false;
    }
    // A background fill may be inside this node's compute: it ends before the node goes.
    hostState().cache.pause();
    MPxNode* user = node->user;
    node->user = nullptr;
    delete user;
    if (node->curve != nullptr) {
        node->curve->release();  // the record stays for stale handles; its keys need not
    }
}

void Scene::setFileInfo(const std::string& key, const std::string& value) {
    for (auto& entry : fileInfo_) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    fileInfo_.emplace_back(key, value);
}

void Scene::removeFileInfo(const std::string& key) {
    fileInfo_.erase(std::remove_if(fileInfo_.begin(), fileInfo_.end(),
                                   [&](const auto& entry) { return entry.first == key; }),
                    fileInfo_.end());
}

void Scene::clear(bool keepTime) {
    fileInfo_.clear();
    std::vector<NodeRecord*> doomed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (NodeRecord* node : nodes_) {
            if (!keepTime || node != time_) {
                doomed.push_back(node);
            }
        }
        ++listChanges_;
        nodes_.erase(std::remove_if(nodes_.begin(), nodes_.end(),
                                    [&](NodeRecord* node) {
                                        return std::find(doomed.begin(), doomed.end(), node) !=
                                               doomed.end();
                                    }),
                     nodes_.end());
        for (const NodeRecord* node : doomed) {
            dropNameLocked(node);
        }
        if (!keepTime) {
            time_ = nullptr;
        }
    }
    for (NodeRecord* node : doomed) {
        if (node->capture != nullptr) {
            node->capture->stop();
        }
    }
    for (NodeRecord* node : doomed) {
        destroy(node);
    }
    flushUndo();
}

NodeRecord* Scene::find(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

std::vector<NodeRecord*> Scene::nodes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return nodes_;
}

std::uint64_t Scene::listChanges() {
    std::lock_guard<std::mutex> lock(mutex_);
    return listChanges_;
}

std::string Scene::nameOf(const NodeRecord* node) {
    std::lock_guard<std::mutex> lock(mutex_);
    return node->name;
}

std::string Scene::rename(NodeRecord* node, const std::string& requested) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (requested == node->name) {
        return node->name;
    }
    const bool listed = std::find(nodes_.begin(), nodes_.end(), node) != nodes_.end();
    if (listed) {
        dropNameLocked(node);
    }
    node->name =
        nameTakenLocked(requested, node) ? uniqueNameLocked(requested, node->type.name) : requested;
    if (listed) {
        byName_[node->name] = node;
    }
    return node->name;
}

int Scene::countOfType(const NodeType* type) {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count_if(
        nodes_.begin(), nodes_.end(), [type](const NodeRecord* n) { return &n->type == type; }));
}

}  // namespace mayahost
