#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace mayahost {

class AttributeRecord;
class Graph;
class NodeRecord;

// What a change of one attribute makes dirty, worked out once per change of the graph, as
// Maya's evaluation graph is: a time change reaches every joint of every performer, and
// walking the connections again on each frame was most of the main thread's work.
//
// Threads: any host thread that changes or refreshes an attribute; `mutex_` guards the
// closures and the version they were built at. Records are never freed while the host
// lives, so their addresses are lasting keys.
class DirtyClosures {
public:
    using Plug = std::pair<NodeRecord*, const AttributeRecord*>;

    explicit DirtyClosures(const Graph& graph) : graph_(graph) {}
    DirtyClosures(const DirtyClosures&) = delete;
    DirtyClosures& operator=(const DirtyClosures&) = delete;

    // The plugs a change of `root` on `node` makes dirty: the attributes it affects, the
    // plugs connected downstream and what those affect in turn, in the order a walk reaches
    // them. `root` itself is not among them unless a cycle leads back to it.
    std::shared_ptr<const std::vector<Plug>> of(NodeRecord& node, const AttributeRecord* root);

private:
    struct PlugHash {
        std::size_t operator()(const Plug& plug) const;
    };
    std::vector<Plug> walk(NodeRecord& start, const AttributeRecord* startRoot) const;

    const Graph& graph_;
    std::mutex mutex_;
    std::uint64_t version_ = 0;  // of the graph the closures were built from
    std::unordered_map<Plug, std::shared_ptr<const std::vector<Plug>>, PlugHash> closures_;
};

}  // namespace mayahost
