#include "Graph.h"

#include <algorithm>

#include "AttributeRecord.h"

namespace mayahost {

namespace {

bool samePlug(const PlugRef& a, const PlugRef& b) {
    return a.node == b.node && a.attribute == b.attribute && a.hasIndex == b.hasIndex &&
           (!a.hasIndex || a.index == b.index);
}

// Two plugs overlap when one holds the other: a compound and its child, an array and its element.
bool overlaps(const PlugRef& a, const PlugRef& b) {
    if (a.node != b.node || a.attribute->root() != b.attribute->root()) {
        return false;
    }
    if (a.hasIndex && b.hasIndex && a.index != b.index) {
        return false;
    }
    return a.attribute == b.attribute || a.attribute->parent == nullptr ||
           b.attribute->parent == nullptr;
}

}  // namespace

MStatus Graph::connect(const PlugRef& source, const PlugRef& destination) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Connection& c : connections_) {
        if (overlaps(c.destination, destination)) {
            return MStatus::kInvalidParameter;
        }
    }
    connections_.push_back({source, destination});
    return MStatus::kSuccess;
}

bool Graph::disconnect(const PlugRef& source, const PlugRef& destination) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
        return samePlug(c.source, source) && samePlug(c.destination, destination);
    });
    if (it == connections_.end()) {
        return false;
    }
    connections_.erase(it);
    return true;
}

std::vector<Graph::Connection> Graph::removeNode(const NodeRecord* node) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Connection> removed;
    auto kept = std::stable_partition(
        connections_.begin(), connections_.end(), [node](const Connection& c) {
            return c.source.node != node && c.destination.node != node;
        });
    removed.assign(kept, connections_.end());
    connections_.erase(kept, connections_.end());
    return removed;
}

std::vector<Graph::Connection> Graph::connectionsOf(const NodeRecord* node) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Connection> found;
    for (const Connection& c : connections_) {
        if (c.source.node == node || c.destination.node == node) {
            found.push_back(c);
        }
    }
    return found;
}

bool Graph::input(const PlugRef& destination, Connection& found) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Connection& c : connections_) {
        if (overlaps(c.destination, destination)) {
            found = c;
            return true;
        }
    }
    return false;
}

void Graph::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.clear();
}

std::vector<Graph::Connection> Graph::incoming(const NodeRecord* node,
                                               const AttributeRecord* root) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Connection> found;
    for (const Connection& c : connections_) {
        if (c.destination.node == node && c.destination.attribute->root() == root) {
            found.push_back(c);
        }
    }
    return found;
}

std::vector<Graph::Connection> Graph::outgoing(const NodeRecord* node,
                                               const AttributeRecord* root) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Connection> found;
    for (const Connection& c : connections_) {
        if (c.source.node == node && c.source.attribute->root() == root) {
            found.push_back(c);
        }
    }
    return found;
}

}  // namespace mayahost
