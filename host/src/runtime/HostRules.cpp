#include "HostRules.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <utility>

#include "HostState.h"

namespace mayahost {

namespace {

// Written once while the host state is built, before any other host thread exists; a
// function-local static, because the host state may be built during static initialisation.
std::thread::id& mainThread() {
    static std::thread::id id;
    return id;
}

bool isMainThread() {
    return std::this_thread::get_id() == mainThread();
}

}  // namespace

thread_local bool HostRules::tOnMainThread = false;
thread_local const NodeRecord* HostRules::tComputeNode = nullptr;
thread_local const std::string* HostRules::tCaptureNode = nullptr;
thread_local bool HostRules::tOnWorker = false;
thread_local int HostRules::tWorkerIndex = -1;

void HostRules::adoptMainThread() {
    mainThread() = std::this_thread::get_id();
    tOnMainThread = true;
}

void HostRules::refuseThread(const char* call) {
    if (tCaptureNode != nullptr) {
        broken("R2", std::string(call) + " called on " + threadDescription() +
                         ". A device thread may call only isLive, isDone, setDone, "
                         "beginThreadLoop, endThreadLoop, acquireDataStorage, pushThreadData, "
                         "releaseDataStorage and MGlobal::executeCommandOnIdle; copy what it "
                         "needs for it on the main thread.");
    }
    if (tOnWorker) {
        broken("R2",
               std::string(call) + " called on " + threadDescription() +
                   (tComputeNode != nullptr ? " in the compute of " + computeNodeName() : "") +
                   ". Serial and Parallel evaluation run compute on worker threads, where "
                   "Maya's API is not safe: read inputs from the data block, keep what "
                   "compute needs from the main thread in the node, and queue other work "
                   "with MGlobal::executeCommandOnIdle.");
    }
    broken("R2", std::string(call) + " called on " + threadDescription() +
                     ", which is not Maya's main thread. Maya's API is single threaded: "
                     "queue the work with MGlobal::executeCommandOnIdle.");
}

void HostRules::refuseThreadOrCompute(const char* call) {
    if (!tOnMainThread) {
        refuseThread(call);
    }
    broken("R1", std::string(call) + " called inside the compute of " + computeNodeName() +
                     ". Compute may change nothing but its own outputs: no node creation "
                     "or deletion, renaming, connection, plug write or synchronous MEL; "
                     "queue the work for the main thread with "
                     "MGlobal::executeCommandOnIdle.");
}

bool HostRules::computing() {
    return tComputeNode != nullptr;
}

HostRules::CaptureThreadScope::CaptureThreadScope(std::string nodeName)
    : mNodeName(std::move(nodeName)) {
    tCaptureNode = &mNodeName;
    tOnMainThread = false;
}

HostRules::CaptureThreadScope::~CaptureThreadScope() {
    tCaptureNode = nullptr;
}

HostRules::WorkerThreadScope::WorkerThreadScope(int index) {
    tOnWorker = true;
    tWorkerIndex = index;
    tOnMainThread = false;
}

HostRules::WorkerThreadScope::~WorkerThreadScope() {
    tOnWorker = false;
    tWorkerIndex = -1;
}

HostRules::ComputeScope::ComputeScope(const NodeRecord* node) : mOuter(tComputeNode) {
    tComputeNode = node;
}

HostRules::ComputeScope::~ComputeScope() {
    tComputeNode = mOuter;
}

void HostRules::broken(const char* rule, const std::string& what) {
    std::fprintf(stderr, "// Maya rule %s broken: %s\n", rule, what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string HostRules::computeNodeName() {
    return hostState().scene.nameOf(tComputeNode);
}

std::string HostRules::threadDescription() {
    if (tCaptureNode != nullptr) {
        return "the capture thread of " + *tCaptureNode;
    }
    if (tOnWorker) {
        return "evaluation worker thread " + std::to_string(tWorkerIndex);
    }
    if (isMainThread()) {
        return "the main thread";
    }
    std::ostringstream text;
    text << "thread " << std::this_thread::get_id();
    return text.str();
}

}  // namespace mayahost
