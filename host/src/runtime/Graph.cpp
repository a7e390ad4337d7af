#include "Graph.h"

#include <algorithm>

#include "AttributeRecord.h"
#include "HostState.h"

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

bool Graph::erase(std::vector<Entry>& entries, std::uint64_t order) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [order](const Entry& e) { return e.order == order; });
    if (it == entries.end()) {
        return false;
    }
    entries.erase(it);
    return true;
}

MStatus Graph::connect(const PlugRef& source, const PlugRef& destination) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Ends& to = nodes_[destination.node];
        std::vector<Entry>& into = to.in[destination.attribute->root()];
        for (const Entry& e : into) {
            if (overlaps(e.connection.destination, destination)) {
                return MStatus::kInvalidParameter;
            }
        }
        const Entry entry{next_++, {source, destination}};
        into.push_back(entry);
        nodes_[source.node].out[source.attribute->root()].push_back(entry);
        version_.fetch_add(1, std::memory_order_release);
    }
    hostState().cache.invalidate();
    return MStatus::kSuccess;
}

bool Graph::disconnect(const PlugRef& source, const PlugRef& destination) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto to = nodes_.find(destination.node);
        if (to == nodes_.end()) {
            return false;
        }
        std::vector<Entry>& into = to->second.in[destination.attribute->root()];
        auto it = std::find_if(into.begin(), into.end(), [&](const Entry& e) {
            return samePlug(e.connection.source, source) &&
                   samePlug(e.connection.destination, destination);
        });
        if (it == into.end()) {
            return false;
        }
        const std::uint64_t order = it->order;
        into.erase(it);
        erase(nodes_[source.node].out[source.attribute->root()], order);
        version_.fetch_add(1, std::memory_order_release);
    }
    hostState().cache.invalidate();
    return true;
}

std::vector<Graph::Connection> Graph::removeNode(const NodeRecord* node) {
    std::vector<Entry> removed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = nodes_.find(node);
        if (found == nodes_.end()) {
            return {};
        }
        Ends ends = std::move(found->second);
        nodes_.erase(found);
        version_.fetch_add(1, std::memory_order_release);
        for (auto& [root, entries] : ends.out) {
            for (const Entry& e : entries) {
                auto other = nodes_.find(e.connection.destination.node);
                if (other != nodes_.end()) {
                    erase(other->second.in[e.connection.destination.attribute->root()], e.order);
                }
                removed.push_back(e);
            }
        }
        for (auto& [root, entries] : ends.in) {
            for (const Entry& e : entries) {
                auto other = nodes_.find(e.connection.source.node);
                if (other != nodes_.end()) {
                    erase(other->second.out[e.connection.source.attribute->root()], e.order);
                }
                if (e.connection.source.node != node) {
                    removed.push_back(e);
                }
            }
        }
    }
    hostState().cache.invalidate();
    std::sort(removed.begin(), removed.end(),
              [](const Entry& a, const Entry& b) { return a.order < b.order; });
    std::vector<Connection> connections;
    connections.reserve(removed.size());
    for (const Entry& e : removed) {
        connections.push_back(e.connection);
    }
    return connections;
}

std::vector<Graph::Connection> Graph::connectionsOf(const NodeRecord* node) const {
    std::vector<Entry> entries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = nodes_.find(node);
        if (found == nodes_.end()) {
            return {};
        }
        for (const auto& [root, list] : found->second.out) {
            entries.insert(entries.end(), list.begin(), list.end());
        }
        for (const auto& [root, list] : found->second.in) {
            for (const Entry& e : list) {
                if (e.connection.source.node != node) {  // a connection to itself is listed once
                    entries.push_back(e);
                }
            }
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.order < b.order; });
    std::vector<Connection> connections;
    connections.reserve(entries.size());
    for (const Entry& e : entries) {
        connections.push_back(e.connection);
    }
    return connections;
}

bool Graph::input(const PlugRef& destination, Connection& found) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto node = nodes_.find(destination.node);
    if (node == nodes_.end()) {
        return false;
    }
    auto entries = node->second.in.find(destination.attribute->root());
    if (entries == node->second.in.end()) {
        return false;
    }
    for (const Entry& e : entries->second) {
        if (overlaps(e.connection.destination, destination)) {
            found = e.connection;
            return true;
        }
    }
    return false;
}

void Graph::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    nodes_.clear();
    version_.fetch_add(1, std::memory_order_release);
}

std::vector<const NodeRecord*> Graph::neighbours(const NodeRecord* node) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<const NodeRecord*> found;
    auto ends = nodes_.find(node);
    if (ends == nodes_.end()) {
        return found;
    }
    const auto note = [&](const NodeRecord* other) {
        if (other != node && std::find(found.begin(), found.end(), other) == found.end()) {
            found.push_back(other);
        }
    };
    for (const auto& [root, entries] : ends->second.out) {
        for (const Entry& e : entries) {
            note(e.connection.destination.node);
        }
    }
    for (const auto& [root, entries] : ends->second.in) {
        for (const Entry& e : entries) {
            note(e.connection.source.node);
        }
    }
    return found;
}

std::vector<Graph::Connection> Graph::incoming(const NodeRecord* node,
                                               const AttributeRecord* root) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Connection> found;
    auto ends = nodes_.find(node);
    if (ends != nodes_.end()) {
        auto entries = ends->second.in.find(root);
        if (entries != ends->second.in.end()) {
            for (const Entry& e : entries->second) {
                found.push_back(e.connection);
            }
        }
    }
    return found;
}

std::vector<Graph::Connection> Graph::outgoing(const NodeRecord* node,
                                               const AttributeRecord* root) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Connection> found;
    auto ends = nodes_.find(node);
    if (ends != nodes_.end()) {
        auto entries = ends->second.out.find(root);
        if (entries != ends->second.out.end()) {
            for (const Entry& e : entries->second) {
                found.push_back(e.connection);
            }
        }
    }
    return found;
}

}  // namespace mayahost
