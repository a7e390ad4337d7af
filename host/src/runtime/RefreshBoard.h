#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace mayahost {

class NodeRecord;

// Device nodes whose capture thread finished a loop and whose outputs want a refresh.
class RefreshBoard {
public:
    void mark(NodeRecord* node);
    void forget(const NodeRecord* node);
    std::vector<NodeRecord*> take();
    bool waitForAny(std::chrono::milliseconds timeout);
    void clear();

private:
    std::mutex mutex_;  // capture threads mark, the evaluation thread takes; guards pending_
    std::condition_variable marked_;
    std::vector<NodeRecord*> pending_;
};

}  // namespace mayahost
