#pragma once

#include <maya/MStatus.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Graph.h"
#include "UndoQueue.h"

namespace mayahost {

class Arena;
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
    // The DAG: transforms and joints, each under one transform or at the top. Fails, changing
    // nothing, when either is no DAG node or the parent lies below the child.
    static bool isDag(const NodeType& type);
    MStatus setParent(NodeRecord* child, NodeRecord* parent);
    NodeRecord* parentOf(const NodeRecord* node);
    // The node's full DAG path ("|group|joint"); a DG node's path is its name.
    std::string pathOf(const NodeRecord* node);

    // R5: a deleted node is not destroyed. Its pre-removal callbacks run, it leaves the graph
    // with its connections (and the conversion nodes between them), its capture thread is
    // shut down, and it waits on the undo queue. A DAG node takes everything below it along,
    // in the same deletion. Fails on a node not in the scene.
    MStatus remove(NodeRecord* node);
    // Brings back the deletion that took `node` (any, for null: the last one): names, when
    // taken meanwhile, become unique ones; connections and capture threads come back.
    bool restore(NodeRecord* node);
    // A user's deletion of `nodes` (one after another, a node already gone with one before
    // it skipped), as one step of the undo queue.
    MStatus removeUndoably(const std::vector<NodeRecord*>& nodes);
    // Destroys every node the undo queue keeps, and empties the queue.
    void flushUndo();
    UndoQueue& undoQueue() { return undoQueue_; }
    std::size_t deletionsKept();
    // File > New and exit: stops every capture thread and destroys every node (but time1
    // when keepTime is set), and whatever the undo queue keeps.
    void clear(bool keepTime);
    // Makes time1 when the scene lacks it (a fresh host, or after exit).
    void ensureDefaults();

    NodeRecord* find(const std::string& name);
    std::vector<NodeRecord*> nodes();
    // Counts the changes of the node list (nodes added, removed, restored), so a caller that
    // walks every node can tell when it need not walk them again.
    std::uint64_t listChanges();
    std::string nameOf(const NodeRecord* node);
    // Gives a node the name asked for, or the next free one built from it.
    std::string rename(NodeRecord* node, const std::string& requested);
    int countOfType(const NodeType* type);
    NodeRecord* timeNode();  // null after exit

    // What `fileInfo` keeps with the scene, key and value, in the order first set; cleared
    // with the nodes.
    using FileInfo = std::vector<std::pair<std::string, std::string>>;
    const FileInfo& fileInfo() const { return fileInfo_; }
    void setFileInfo(const std::string& key, const std::string& value);
    void removeFileInfo(const std::string& key);

private:
    struct Deletion {
        std::vector<NodeRecord*> nodes;
        std::vector<Graph::Connection> connections;
    };

    std::string uniqueNameLocked(const std::string& requested, const std::string& typeName) const;
    // Lists a node and indexes its name; and forgets the name of one that leaves the list.
    void addLocked(NodeRecord* node);
    void dropNameLocked(const NodeRecord* node);
    bool nameTakenLocked(const std::string& name, const NodeRecord* except) const;
    void destroy(NodeRecord* node);

    Arena& arena_;
    TypeRegistry& types_;
    Graph& graph_;
    RefreshBoard& board_;
    // Any host thread; guards nodes_, listChanges_, byName_, time_, undo_, every node's name.
    std::mutex mutex_;
    std::vector<NodeRecord*> nodes_;
    std::uint64_t listChanges_ = 0;
    // The nodes of nodes_ by name, which no two share: scripts name nodes on every call, and
    // a scene with many performers holds thousands.
    std::unordered_map<std::string, NodeRecord*> byName_;
    NodeRecord* time_ = nullptr;
    std::vector<Deletion> undo_;  // oldest first
    UndoQueue undoQueue_;         // main thread only
    FileInfo fileInfo_;           // main thread only
};

}  // namespace mayahost
