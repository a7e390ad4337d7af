#pragma once

// The stand-in host's process-wide state. One instance lives in the host library, so the
// embedder and every plug-in module it loads see the same scene.

#include <mayahost/HostControl.h>

#include "PluginLoader.h"

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Arena.h"
#include "CachedPlayback.h"
#include "CallbackTable.h"
#include "DirtyClosures.h"
#include "EvaluationManager.h"
#include "Graph.h"
#include "RefreshBoard.h"
#include "Scene.h"
#include "SceneEvents.h"
#include "SceneUnits.h"
#include "Timeline.h"
#include "TypeRegistry.h"

namespace mayahost {

class HostMel;

struct StringTable {
    std::mutex mutex;  // any thread looks strings up; guards both maps
    std::map<std::pair<std::string, std::string>, std::string> registered;
    std::map<std::pair<std::string, std::string>, std::string> localized;
};

struct IdleQueue {
    std::mutex mutex;  // capture threads queue, the main thread runs; guards commands
    std::deque<std::string> commands;
};

struct ErrorLog {
    std::mutex mutex;  // texts are shown from any host thread; guards the three lists
    std::vector<std::string> shown;
    std::vector<std::string> warnings;
    std::vector<std::string> infos;
};

struct FaultSwitches {
    struct Armed {
        int after = 0;          // calls still to succeed first
        int count = 0;          // calls to fail then
        bool throwing = false;  // they throw std::bad_alloc instead of failing
    };
    // The main thread arms; the calls consume on any thread (compute on a worker). Guards armed.
    std::mutex mutex;
    std::map<HostCall, Armed> armed;
    // Whether armed holds any call, written under mutex and read without it: nearly every API
    // call asks, on every thread, and almost always nothing is armed.
    std::atomic<bool> any{false};

    void arm(HostCall call, const Armed& how) {
        std::lock_guard<std::mutex> lock(mutex);
        armed[call] = how;
        any.store(true, std::memory_order_release);
    }
    void disarmAll() {
        std::lock_guard<std::mutex> lock(mutex);
        armed.clear();
        any.store(false, std::memory_order_release);
    }

    // True for the calls failNext(call, ...) armed to fail; throws for those throwNext armed.
    bool take(HostCall call) {
        if (!any.load(std::memory_order_acquire)) {
            return false;
        }
        bool throwing = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto found = armed.find(call);
            if (found == armed.end()) {
                return false;
            }
            if (found->second.after > 0) {
                --found->second.after;
                return false;
            }
            throwing = found->second.throwing;
            if (--found->second.count <= 0) {
                armed.erase(found);
                any.store(!armed.empty(), std::memory_order_release);
            }
        }
        if (throwing) {
            throw std::bad_alloc();
        }
        return true;
    }
};

struct HostState {
    HostState();
    ~HostState();
    HostState(const HostState&) = delete;
    HostState& operator=(const HostState&) = delete;

    Arena arena;  // first member: records outlive everything that points at them
    StringTable strings;
    IdleQueue idle;
    ErrorLog errors;
    FaultSwitches faults;
    TypeRegistry types;
    Graph graph;
    DirtyClosures closures{graph};
    RefreshBoard refresh;
    Scene scene;
    Timeline timeline;
    SceneUnits units;
    SceneEvents events;
    std::unique_ptr<HostMel> mel;  // main thread only; made anew by resetHost
    CallbackTable callbacks;
    PluginLoader loader;
    EvaluationManager evaluation;
    CachedPlayback cache;
    // The open scene's file path, empty while untitled: `file -rename` and fileOpen set it,
    // File > New clears it. Main thread only.
    std::string sceneName;
};

HostState& hostState();

// Tells the "playingBack" condition's callbacks when playback started or stopped. Main thread,
// after anything that may start or stop the timeline.
void notePlaybackState();

}  // namespace mayahost
