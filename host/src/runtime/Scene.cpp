#include "Scene.h"

#include <maya/MPxThreadedDeviceNode.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "AnimCurveKeys.h"
#include "Arena.h"
#include "CaptureThread.h"
#include "DeviceState.h"
#include "Graph.h"
#include "HostAccess.h"
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
    nodes_.push_back(time_);
}

NodeRecord* Scene::timeNode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return time_;
}

bool Scene::nameTakenLocked(const std::string& name, const NodeRecord* except) const {
    return std::any_of(nodes_.begin(), nodes_.end(), [&](const NodeRecord* node) {
        return node != except && node->name == name;
    });
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
        nodes_.push_back(node);
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

MStatus Scene::remove(NodeRecord* node) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = std::find(nodes_.begin(), nodes_.end(), node);
        if (found == nodes_.end()) {
            return MStatus::kInvalidParameter;
        }
        nodes_.erase(found);
        if (node == time_) {
            time_ = nullptr;
        }
    }
    if (node->capture != nullptr) {
        node->capture->stop();
    }
    destroy(node);
    return MStatus::kSuccess;
}

void Scene::destroy(NodeRecord* node) {
    board_.forget(node);
    graph_.removeNode(node);
    {
        std::lock_guard<std::mutex> lock(node->mutex);
        node->alive = false;
    }
    MPxNode* user = node->user;
    node->user = nullptr;
    delete user;
    if (node->curve != nullptr) {
        node->curve->release();  // the record stays for stale handles; its keys need not
    }
}

void Scene::clear(bool keepTime) {
    std::vector<NodeRecord*> doomed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (NodeRecord* node : nodes_) {
            if (!keepTime || node != time_) {
                doomed.push_back(node);
            }
        }
        nodes_.erase(std::remove_if(nodes_.begin(), nodes_.end(),
                                    [&](NodeRecord* node) {
                                        return std::find(doomed.begin(), doomed.end(), node) !=
                                               doomed.end();
                                    }),
                     nodes_.end());
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
}

NodeRecord* Scene::find(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (NodeRecord* node : nodes_) {
        if (node->name == name) {
            return node;
        }
    }
    return nullptr;
}

std::vector<NodeRecord*> Scene::nodes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return nodes_;
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
    node->name =
        nameTakenLocked(requested, node) ? uniqueNameLocked(requested, node->type.name) : requested;
    return node->name;
}

int Scene::countOfType(const NodeType* type) {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count_if(
        nodes_.begin(), nodes_.end(), [type](const NodeRecord* n) { return &n->type == type; }));
}

}  // namespace mayahost
