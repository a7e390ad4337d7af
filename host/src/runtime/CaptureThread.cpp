#include "CaptureThread.h"

#include <maya/MPxThreadedDeviceNode.h>

#include <utility>

#include "DeviceState.h"
#include "HostRules.h"
#include "HostState.h"

namespace mayahost {

namespace {

// The capture thread a thread is, so that a restart asked from that very thread never joins it.
thread_local const CaptureThread* tCurrentCapture = nullptr;

}  // namespace

CaptureThread::CaptureThread(MPxThreadedDeviceNode& node, DeviceState& device)
    : node_(node), device_(device) {}

CaptureThread::~CaptureThread() {
    stop();
}

void CaptureThread::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_ || thread_.joinable()) {
        return;
    }
    device_.clearStop();
    ++starts_;
    thread_ = std::thread(&CaptureThread::run, this);
}

void CaptureThread::restart() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopped_) {
        return;
    }
    if (restarting_) {
        again_ = true;
        return;
    }
    if (tCurrentCapture == this) {
        // Cannot join ourselves: leave threadHandler and run it again on this thread.
        rerun_ = true;
        lock.unlock();
        device_.requestStop();
        node_.threadShutdownHandler();
        return;
    }
    restarting_ = true;
    do {
        again_ = false;
        std::thread old = std::move(thread_);
        lock.unlock();
        device_.requestStop();
        node_.threadShutdownHandler();
        if (old.joinable()) {
            old.join();
        }
        lock.lock();
        if (stopped_) {
            break;
        }
        device_.clearStop();
        ++starts_;
        thread_ = std::thread(&CaptureThread::run, this);
    } while (again_);
    restarting_ = false;
    idle_.notify_all();
}

void CaptureThread::stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (tCurrentCapture == this) {
        stopped_ = true;
        lock.unlock();
        device_.requestStop();
        node_.threadShutdownHandler();
        return;
    }
    stopped_ = true;
    idle_.wait(lock, [this] { return !restarting_; });
    std::thread running = std::move(thread_);
    lock.unlock();
    if (!running.joinable()) {
        return;
    }
    device_.requestStop();
    node_.threadShutdownHandler();
    running.join();
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

void CaptureThread::run() {
    tCurrentCapture = this;
    const HostRules::CaptureThreadScope capture(hostState().scene.nameOf(device_.node));
    for (;;) {
        node_.threadHandler();
        std::unique_lock<std::mutex> lock(mutex_);
        if (rerun_ && !stopped_ && !restarting_) {
            rerun_ = false;
            device_.clearStop();
            ++starts_;
            continue;
        }
        rerun_ = false;
        break;
    }
    tCurrentCapture = nullptr;
}

}  // namespace mayahost
