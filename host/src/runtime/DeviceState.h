#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace mayahost {

class AttributeRecord;
class NodeRecord;
class RefreshBoard;

// The host side of one threaded device node: stop flags, the buffer pool and the refresh
// attributes, shared by the capture thread, the evaluation thread and the main thread.
class DeviceState {
public:
    enum class BufferState { Free, Acquired, Queued, Held };

    // Index of the pool buffer starting at `ptr`, or -1.
    long bufferIndex(const char* ptr) const;
    // Asks one run of the capture thread to stop (`runStop` is that run's flag, which its
    // isDone also reads) and ends its throttling wait early.
    void requestStop(std::atomic<bool>& runStop);

    std::atomic<bool> done{false};  // capture threads and host threads; atomic

    std::mutex mutex;  // capture, evaluation and main threads; guards the pool and refresh fields
    std::condition_variable wake;  // signalled with mutex on stop requests and setDone
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<BufferState> states;
    std::deque<std::size_t> queue;  // pushed buffers, oldest first
    long bufferSize = 0;
    std::vector<const AttributeRecord*> refreshAttributes;

    // Counters for an embedder's summary, under mutex: blocks pushed, pushed blocks whose bytes
    // differ from the block pushed before, blocks popped.
    long pushed = 0;
    long changed = 0;
    long popped = 0;
    std::vector<char> lastPushed;  // copy of the last pushed block, under mutex

    // Set once when the node is created, before its capture thread starts.
    NodeRecord* node = nullptr;
    RefreshBoard* board = nullptr;
};

}  // namespace mayahost
