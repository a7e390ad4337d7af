#include "CaptureThread.h"

#include <maya/MPxThreadedDeviceNode.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "DeviceState.h"
#include "HostRules.h"
#include "HostState.h"

namespace mayahost {

namespace {

// The run a capture thread executes, so that isDone sees a stop asked of that run only.
thread_local const std::atomic<bool>* tRunStop = nullptr;

}  // namespace

std::atomic<bool> CaptureThread::sRestartWaits{true};

void CaptureThread::setRestartWaits(bool wait) {
    sRestartWaits.store(wait);
}

bool CaptureThread::restartWaits() {
    return sRestartWaits.load();
}

CaptureThread::CaptureThread(MPxThreadedDeviceNode& node, DeviceState& device)
    : node_(node), device_(device) {}

CaptureThread::~CaptureThread() {
    stop();
}

bool CaptureThread::currentRunStopped() {
    return tRunStop != nullptr && tRunStop->load();
}

void CaptureThread::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_ || current_ != nullptr) {
        return;
    }
    launch();
}

void CaptureThread::launch() {
    current_ = std::make_unique<Run>();
    ++starts_;
    current_->thread = std::thread(&CaptureThread::run, this, current_.get());
}

std::unique_ptr<CaptureThread::Run> CaptureThread::takeCurrent() {
    std::unique_ptr<Run> run = std::move(current_);
    if (run != nullptr) {
        device_.requestStop(run->stop);
    }
    return run;
}

void CaptureThread::reapFinished() {
    const auto finished = std::stable_partition(
        retired_.begin(), retired_.end(), [](const auto& run) { return !run->finished.load(); });
    // A finished run is past threadHandler, so never the thread asking.
    for (auto it = finished; it != retired_.end(); ++it) {
        (*it)->thread.join();
    }
    retired_.erase(finished, retired_.end());
}

void CaptureThread::restart() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopped_) {
        return;
    }
    std::unique_ptr<Run> old = takeCurrent();
    // The node's handler runs without the host's lock, as any code of the node does.
    lock.unlock();
    if (old != nullptr) {
        node_.threadShutdownHandler();
        // A restart asked from a capture thread cannot wait for itself.
        if (sRestartWaits.load() && old->thread.get_id() != std::this_thread::get_id()) {
            old->thread.join();
            old.reset();
        }
    }
    lock.lock();
    if (old != nullptr) {
        retired_.push_back(std::move(old));
    }
    reapFinished();
    if (!stopped_ && current_ == nullptr) {
        launch();
    }
}

void CaptureThread::stop() {
    std::unique_ptr<Run> old;
    std::vector<std::unique_ptr<Run>> runs;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        old = takeCurrent();
        // A capture thread cannot join itself: its run stays for a later stop to join.
        const auto own = std::stable_partition(
            retired_.begin(), retired_.end(),
            [](const auto& run) { return run->thread.get_id() == std::this_thread::get_id(); });
        std::move(own, retired_.end(), std::back_inserter(runs));
        retired_.erase(own, retired_.end());
    }
    if (old != nullptr) {
        node_.threadShutdownHandler();
        if (old->thread.get_id() == std::this_thread::get_id()) {
            std::lock_guard<std::mutex> lock(mutex_);
            retired_.push_back(std::move(old));
        } else {
            runs.push_back(std::move(old));
        }
    }
    for (const auto& run : runs) {
        run->thread.join();
    }
}

void CaptureThread::resume() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = false;
    }
    start();
}

int CaptureThread::starts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return starts_;
}

void CaptureThread::run(Run* run) {
    tRunStop = &run->stop;
    {
        const HostRules::CaptureThreadScope capture(hostState().scene.nameOf(device_.node));
        node_.threadHandler();
    }
    tRunStop = nullptr;
    run->finished.store(true);
}

}  // namespace mayahost
