#include "CachedPlayback.h"

#include <maya/MEvaluationNode.h>
#include <maya/MNodeCacheDisablingInfo.h>
#include <maya/MNodeCacheSetupInfo.h>
#include <maya/MObjectArray.h>
#include <maya/MPxNode.h>

#include <cmath>
#include <utility>

#include "AttributeRecord.h"
#include "EvaluationManager.h"
#include "Evaluator.h"
#include "Graph.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "TimeUnits.h"

namespace mayahost {

namespace {

long long elementOf(const PlugRef& plug) {
    return plug.hasIndex ? static_cast<long long>(plug.index) : -1;
}

}  // namespace

CachedPlayback::~CachedPlayback() {
    stopFill();
}

void CachedPlayback::setEnabled(bool enabled) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        enabled_ = enabled;
    }
    if (!enabled) {
        stopFill();
    }
}

CachedPlayback::Status CachedPlayback::status() {
    std::lock_guard<std::mutex> lock(mutex_);
    Status status;
    status.enabled = enabled_;
    status.safeMode = safeMode(&status);
    status.filling = filling_;
    status.framesCached =
        filledGeneration_ == generation_.load(std::memory_order_relaxed) ? framesFilled_ : 0;
    return status;
}

bool CachedPlayback::usable() {
    return enabled_ && !values_.empty() &&
           filledGeneration_ == generation_.load(std::memory_order_relaxed) && !safeMode();
}

bool CachedPlayback::safeMode(Status* why) {
    for (const auto& [node, setup] : setups_) {
        if (!setup.disabled) {
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(const_cast<NodeRecord*>(node)->mutex);
            if (!node->alive) {
                continue;
            }
        }
        if (why != nullptr) {
            why->node = hostState().scene.nameOf(node);
            why->reason = setup.reason;
            why->mitigation = setup.mitigation;
        }
        return true;
    }
    return false;
}

void CachedPlayback::ask(NodeRecord& node) {
    if (node.user == nullptr) {
        return;
    }
    MNodeCacheDisablingInfo disabling;
    MNodeCacheSetupInfo setupInfo;
    MObjectArray monitored;
    const MEvaluationNode evaluationNode =
        HostAccess::makeEvaluationNode(HostAccess::makeObject(&node));
    node.user->getCacheSetup(evaluationNode, disabling, setupInfo, monitored);
    Setup setup;
    setup.disabled = disabling.getCacheDisabled();
    setup.reason = disabling.getReason().asChar();
    setup.mitigation = disabling.getMitigation().asChar();
    for (unsigned int i = 0; i < monitored.length(); ++i) {
        if (const AttributeRecord* attribute = HostAccess::attribute(monitored[i])) {
            setup.monitored.push_back(attribute->root());
        }
    }
    Status why;
    bool safe = false;
    std::string shown;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        setups_[&node] = std::move(setup);
        safe = safeMode(&why);
        if (safe) {
            shown = "Cached Playback is in safe mode: " + why.node + ": " + why.reason +
                    (why.mitigation.empty() ? "" : " " + why.mitigation);
        }
        if (shown == shownSafeMode_) {
            shown.clear();
        } else {
            shownSafeMode_ = shown;
        }
    }
    if (safe) {
        stopFill();
    }
    if (!shown.empty()) {
        ErrorLog& log = hostState().errors;
        std::lock_guard<std::mutex> lock(log.mutex);
        log.warnings.push_back(shown);
    }
}

void CachedPlayback::attributeChanged(NodeRecord& node, const AttributeRecord* root) {
    bool again = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = setups_.find(&node);
        again = found == setups_.end();
        for (const AttributeRecord* watched :
             again ? std::vector<const AttributeRecord*>{} : found->second.monitored) {
            again = again || watched == root;
        }
    }
    if (again) {
        ask(node);
    }
}

void CachedPlayback::update() {
    HostState& host = hostState();
    // Every idle pass comes here; the scene's thousands of nodes are walked for new ones only
    // after the node list changed.
    const std::uint64_t listed = host.scene.listChanges();
    if (listed != askedListChanges_) {
        askedListChanges_ = listed;
        for (NodeRecord* node : host.scene.nodes()) {
            if (node->user == nullptr) {
                continue;
            }
            bool known = false;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                known = setups_.count(node) != 0;
            }
            if (!known) {
                ask(*node);
            }
        }
    }
    const std::uint64_t generation = generation_.load(std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!enabled_ || safeMode() || filledGeneration_ == generation) {
            return;
        }
        if (filling_ && !cancel_.load()) {
            return;  // a fill runs; it starts again here once it ends stale
        }
    }
    stopFill();
    // What playback shows: every connected output a node computes.
    std::vector<PlugRef> plugs;
    for (NodeRecord* node : host.scene.nodes()) {
        if (node->user == nullptr) {
            continue;
        }
        for (const AttributeRecord* root : node->type.roots()) {
            if (!node->type.isComputed(root)) {
                continue;
            }
            for (const Graph::Connection& c : host.graph.outgoing(node, root)) {
                plugs.push_back(c.source);
            }
        }
    }
    const PlaybackOptions& options = host.timeline.options();
    const double ticksPerFrame = TimeUnits::dgUnitsPerUnit(host.timeline.uiUnit());
    std::vector<double> frames;
    if (options.by > 0.0) {
        // Counted, so that the frames do not drift by the steps' rounding.
        const auto count = static_cast<long long>(
            std::floor((options.maxTime - options.minTime) / options.by + 1e-9));
        for (long long i = 0; i <= count; ++i) {
            frames.push_back((options.minTime + static_cast<double>(i) * options.by) *
                             ticksPerFrame);
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        filling_ = true;
        cancel_.store(false);
    }
    filler_ =
        std::thread(&CachedPlayback::fill, this, generation, std::move(plugs), std::move(frames));
}

void CachedPlayback::fill(std::uint64_t generation, const std::vector<PlugRef>& plugs,
                          const std::vector<double>& frames) {
    // The background fill is one of Maya's evaluation threads, held to the same rules.
    const HostRules::WorkerThreadScope scope(static_cast<int>(EvaluationManager::workerCount()));
    std::map<Key, std::vector<double>> filled;
    bool complete = true;
    for (double ticks : frames) {
        for (const PlugRef& plug : plugs) {
            if (cancel_.load() || generation_.load(std::memory_order_relaxed) != generation) {
                complete = false;
                break;
            }
            {
                std::lock_guard<std::mutex> lock(plug.node->mutex);
                if (!plug.node->alive) {
                    continue;
                }
            }
            std::vector<double> values;
            if (Evaluator::readInContext(plug, ticks, values)) {
                filled[Key{plug.node, plug.attribute, elementOf(plug), ticks}] = std::move(values);
            }
        }
        if (!complete) {
            break;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (complete && generation_.load(std::memory_order_relaxed) == generation) {
        values_ = std::move(filled);
        filledGeneration_ = generation;
        framesFilled_ = static_cast<int>(frames.size());
    }
    filling_ = false;
    fillEnded_.notify_all();
}

void CachedPlayback::stopFill() {
    cancel_.store(true);
    if (filler_.joinable()) {
        filler_.join();
    }
}

bool CachedPlayback::lookup(const PlugRef& plug, std::vector<double>& values) {
    const Timeline& timeline = hostState().timeline;
    if (!timeline.playing()) {
        return false;
    }
    // Every compute asks while playback runs: what makes the cache unusable is checked before
    // the time is read, which costs an evaluation of time1.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!usable()) {
            return false;
        }
    }
    const double ticks = timeline.current() * TimeUnits::dgUnitsPerUnit(timeline.uiUnit());
    std::lock_guard<std::mutex> lock(mutex_);
    if (!usable()) {
        return false;  // a change or a new fill came meanwhile
    }
    auto found = values_.find(Key{plug.node, plug.attribute, elementOf(plug), ticks});
    if (found == values_.end()) {
        return false;
    }
    values = found->second;
    return true;
}

bool CachedPlayback::waitForFill(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return fillEnded_.wait_for(lock, timeout, [this] { return !filling_; });
}

void CachedPlayback::reset() {
    stopFill();
    askedListChanges_ = ~std::uint64_t{0};
    std::lock_guard<std::mutex> lock(mutex_);
    enabled_ = true;
    setups_.clear();
    values_.clear();
    filledGeneration_ = 0;
    framesFilled_ = 0;
    shownSafeMode_.clear();
    invalidate();
}

}  // namespace mayahost
