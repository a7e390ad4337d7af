#include "RefreshBoard.h"

#include <algorithm>

namespace mayahost {

void RefreshBoard::mark(NodeRecord* node) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(pending_.begin(), pending_.end(), node) == pending_.end()) {
            pending_.push_back(node);
        }
    }
    marked_.notify_all();
}

void RefreshBoard::forget(const NodeRecord* node) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.erase(std::remove(pending_.begin(), pending_.end(), node), pending_.end());
}

std::vector<NodeRecord*> RefreshBoard::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<NodeRecord*> taken;
    taken.swap(pending_);
    return taken;
}

bool RefreshBoard::waitForAny(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return marked_.wait_for(lock, timeout, [this] { return !pending_.empty(); });
}

void RefreshBoard::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.clear();
}

}  // namespace mayahost
