#pragma once

#include <maya/MStatus.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "PlugRef.h"

namespace mayahost {

// The connections between plugs of the scene, indexed by the node and top-level attribute at
// each end, so finding a plug's connections does not scan the scene.
class Graph {
public:
    struct Connection {
        PlugRef source;
        PlugRef destination;
    };

    // Fails when the destination already has an incoming connection.
    MStatus connect(const PlugRef& source, const PlugRef& destination);
    bool disconnect(const PlugRef& source, const PlugRef& destination);
    // Takes every connection of the node out of the graph and returns them, oldest first.
    std::vector<Connection> removeNode(const NodeRecord* node);
    // Every connection of the node, oldest first.
    std::vector<Connection> connectionsOf(const NodeRecord* node) const;
    // The connection into `destination` or into a plug that holds it or that it holds.
    bool input(const PlugRef& destination, Connection& found) const;
    void clear();
    // Connections into any plug of the top-level attribute `root` of `node`.
    std::vector<Connection> incoming(const NodeRecord* node, const AttributeRecord* root) const;
    // Connections out of any plug of the top-level attribute `root` of `node`.
    std::vector<Connection> outgoing(const NodeRecord* node, const AttributeRecord* root) const;
    // The other nodes `node` is directly connected to, either way.
    std::vector<const NodeRecord*> neighbours(const NodeRecord* node) const;
    // Changes whenever a connection is made or broken, so schedules built from the graph
    // know when to be built again.
    std::uint64_t version() const { return version_.load(std::memory_order_acquire); }

private:
    struct Entry {
        std::uint64_t order;  // when it was made, so lists keep the order connections were made
        Connection connection;
    };
    // A node's connections by top-level attribute, at its source and destination ends.
    struct Ends {
        std::map<const AttributeRecord*, std::vector<Entry>> out;
        std::map<const AttributeRecord*, std::vector<Entry>> in;
    };
    static bool erase(std::vector<Entry>& entries, std::uint64_t order);

    mutable std::mutex mutex_;  // any host thread; guards nodes_ and next_
    std::unordered_map<const NodeRecord*, Ends> nodes_;
    std::uint64_t next_ = 0;
    std::atomic<std::uint64_t> version_{0};  // any thread
};

}  // namespace mayahost
