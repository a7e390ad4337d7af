#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "PlugRef.h"

namespace mayahost {

class AttributeRecord;
class NodeRecord;

// Cached Playback: while it is on and no node disables it, a background thread evaluates
// the scene over the playback range in another context and playback shows the cached
// values instead of computing. A node that disables caching (getCacheSetup) puts the host
// in safe mode, with the node's reason shown as Maya shows it; the node is asked again only
// when one of the attributes it monitors changes.
class CachedPlayback {
public:
    struct Status {
        bool enabled = true;
        bool safeMode = false;
        std::string node;  // the node that keeps caching off, in safe mode
        std::string reason;
        std::string mitigation;
        int framesCached = 0;  // of the last complete fill still valid
        bool filling = false;
    };

    CachedPlayback() = default;
    ~CachedPlayback();
    CachedPlayback(const CachedPlayback&) = delete;
    CachedPlayback& operator=(const CachedPlayback&) = delete;

    void setEnabled(bool enabled);  // main thread
    Status status();                // any thread
    // Something the cache depends on changed: values, connections, keys. Any thread.
    void invalidate() { generation_.fetch_add(1, std::memory_order_relaxed); }
    // A plug of `root` was set: the node is asked again when it monitors that attribute.
    // Main thread.
    void attributeChanged(NodeRecord& node, const AttributeRecord* root);
    // The host is idle: asks nodes it has not asked yet, and starts a fill when one is due.
    // Main thread.
    void update();
    // The cached values of a plug at the current frame, while playback runs from a complete
    // fill. Evaluation threads.
    bool lookup(const PlugRef& plug, std::vector<double>& values);
    // Waits for a running fill to end, at most `timeout`; true when none runs.
    bool waitForFill(std::chrono::milliseconds timeout);
    // Stops a running fill; the next update() starts one again if one is due. Main thread.
    void pause() { stopFill(); }
    // Stops a fill and forgets everything; enabled again. Main thread.
    void reset();

private:
    struct Setup {
        bool disabled = false;
        std::string reason;
        std::string mitigation;
        std::vector<const AttributeRecord*> monitored;
    };
    // node, attribute, element index (or -1), frame in 1/6000 s
    using Key = std::tuple<const NodeRecord*, const AttributeRecord*, long long, double>;

    void ask(NodeRecord& node);            // main thread
    bool safeMode(Status* why = nullptr);  // under mutex_
    bool usable();    // under mutex_: a complete fill, caching on, not in safe mode
    void stopFill();  // main thread
    void fill(std::uint64_t generation, const std::vector<PlugRef>& plugs,
              const std::vector<double>& frames);

    std::mutex mutex_;  // main thread, the fill thread and evaluation threads; guards below
    std::condition_variable fillEnded_;
    bool enabled_ = true;
    std::map<const NodeRecord*, Setup> setups_;
    std::map<Key, std::vector<double>> values_;
    std::uint64_t filledGeneration_ = 0;  // generation of the complete fill in values_
    int framesFilled_ = 0;
    bool filling_ = false;
    std::string shownSafeMode_;  // the safe-mode text last shown, so it is shown once
    std::atomic<std::uint64_t> generation_{1};
    std::atomic<bool> cancel_{false};
    std::thread filler_;  // main thread starts and joins
    // The scene's node list as update last asked its new nodes; main thread only.
    std::uint64_t askedListChanges_ = ~std::uint64_t{0};
};

}  // namespace mayahost
