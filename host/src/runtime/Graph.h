#pragma once

#include <maya/MStatus.h>

#include <mutex>
#include <vector>

#include "PlugRef.h"

namespace mayahost {

// The connections between plugs of the scene.
class Graph {
public:
    struct Connection {
        PlugRef source;
        PlugRef destination;
    };

    // Fails when the destination already has an incoming connection.
    MStatus connect(const PlugRef& source, const PlugRef& destination);
    bool disconnect(const PlugRef& source, const PlugRef& destination);
    // Takes every connection of the node out of the graph and returns them.
    std::vector<Connection> removeNode(const NodeRecord* node);
    std::vector<Connection> connectionsOf(const NodeRecord* node) const;
    // The connection into `destination` or into a plug that holds it or that it holds.
    bool input(const PlugRef& destination, Connection& found) const;
    void clear();
    // Connections into any plug of the top-level attribute `root` of `node`.
    std::vector<Connection> incoming(const NodeRecord* node, const AttributeRecord* root) const;
    // Connections out of any plug of the top-level attribute `root` of `node`.
    std::vector<Connection> outgoing(const NodeRecord* node, const AttributeRecord* root) const;

private:
    mutable std::mutex mutex_;  // any host thread; guards connections_
    std::vector<Connection> connections_;
};

}  // namespace mayahost
