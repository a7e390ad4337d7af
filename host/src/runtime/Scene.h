#pragma once

#include <maya/MStatus.h>

#include <mutex>
#include <string>
#include <vector>

namespace mayahost {

class Arena;
class Graph;
class NodeRecord;
class NodeType;
class RefreshBoard;
class TypeRegistry;

// The nodes of the scene, their unique names, and their creation and deletion.
class Scene {
public:
    Scene(Arena& arena, TypeRegistry& types, Graph& graph, RefreshBoard& board);

    // Creator, postConstructor, then the capture thread of a device node.
    NodeRecord* create(const NodeType& type, const std::string& requestedName, MStatus& status);
    // Stops the node's capture thread, then destroys it. Fails on a node already gone.
    MStatus remove(NodeRecord* node);
    // Stops every capture thread, then deletes every node (but time1 when keepTime is set).
    void clear(bool keepTime);
    // Makes time1 when the scene lacks it (a fresh host, or after exit).
    void ensureDefaults();

    NodeRecord* find(const std::string& name);
    std::vector<NodeRecord*> nodes();
    std::string nameOf(const NodeRecord* node);
    // Gives a node the name asked for, or the next free one built from it.
    std::string rename(NodeRecord* node, const std::string& requested);
    int countOfType(const NodeType* type);
    NodeRecord* timeNode();  // null after exit

private:
    std::string uniqueNameLocked(const std::string& requested, const std::string& typeName) const;
    bool nameTakenLocked(const std::string& name, const NodeRecord* except) const;
    void destroy(NodeRecord* node);

    Arena& arena_;
    TypeRegistry& types_;
    Graph& graph_;
    RefreshBoard& board_;
    std::mutex mutex_;  // any host thread; guards nodes_, time_ and every node's name
    std::vector<NodeRecord*> nodes_;
    NodeRecord* time_ = nullptr;
};

}  // namespace mayahost
