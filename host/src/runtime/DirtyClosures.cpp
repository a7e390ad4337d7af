#include "DirtyClosures.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "AttributeRecord.h"
#include "Graph.h"
#include "NodeRecord.h"
#include "NodeType.h"

namespace mayahost {

std::size_t DirtyClosures::PlugHash::operator()(const Plug& plug) const {
    return std::hash<const void*>()(plug.first) * 31U ^ std::hash<const void*>()(plug.second);
}

std::shared_ptr<const std::vector<DirtyClosures::Plug>> DirtyClosures::of(
    NodeRecord& node, const AttributeRecord* root) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Read before a walk, so a change made while it runs rebuilds the next time.
    const std::uint64_t version = graph_.version();
    if (version != version_) {
        closures_.clear();
        version_ = version;
    }
    const Plug key{&node, root};
    auto found = closures_.find(key);
    if (found == closures_.end()) {
        found = closures_.emplace(key, std::make_shared<const std::vector<Plug>>(walk(node, root)))
                    .first;
    }
    return found->second;
}

std::vector<DirtyClosures::Plug> DirtyClosures::walk(NodeRecord& start,
                                                     const AttributeRecord* startRoot) const {
    std::vector<Plug> reached;
    std::vector<Plug> work{{&start, startRoot}};
    std::unordered_set<Plug, PlugHash> seen{{&start, startRoot}};
    while (!work.empty()) {
        const auto [node, root] = work.back();
        work.pop_back();
        std::vector<const AttributeRecord*> touched = node->type.affectedBy(root);
        for (const AttributeRecord* target : touched) {
            reached.emplace_back(node, target);
        }
        touched.push_back(root);
        for (const AttributeRecord* source : touched) {
            for (const Graph::Connection& c : graph_.outgoing(node, source)) {
                const Plug next{c.destination.node, c.destination.attribute->root()};
                if (seen.insert(next).second) {
                    reached.push_back(next);
                    work.push_back(next);
                }
            }
        }
    }
    // Grouped by node, so that marking them takes each node's lock once.
    std::sort(reached.begin(), reached.end(), [](const Plug& a, const Plug& b) {
        const std::less<> before;
        return before(a.first, b.first) || (a.first == b.first && before(a.second, b.second));
    });
    reached.erase(std::unique(reached.begin(), reached.end()), reached.end());
    return reached;
}

}  // namespace mayahost
