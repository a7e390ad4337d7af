#pragma once

#include <maya/MApiNamespace.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mayahost {

class DeviceState;

// The capture thread of a threaded device node: started after postConstructor, restarted when
// `live` or `frameRate` changes, stopped before the node is destroyed.
//
// Maya documents that a change shuts the thread down and starts it again, not whether it waits
// for the old thread in between. By default a restart waits (shutdown, join, start). Without
// the wait the new thread starts at once while the old one, asked to stop, may still be leaving
// threadHandler; it is joined by a later restart once it has left, or by stop. Then isDone is
// Maya's one done flag, shared by both runs, as threadShutdownHandler and setDone leave it.
class CaptureThread {
public:
    CaptureThread(MPxThreadedDeviceNode& node, DeviceState& device);
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;
    ~CaptureThread();

    void start();
    // threadShutdownHandler, then a new thread at once. Safe from any host thread, the capture
    // thread included.
    void restart();
    // threadShutdownHandler and join every thread of the node; no restart afterwards, until
    // resume.
    void stop();
    // Starts the thread again after stop, as undoing a node's deletion does.
    void resume();
    int starts() const;

    // On a capture thread: whether the host asked the run of this very thread to stop. False on
    // any other thread.
    static bool currentRunStopped();
    // Whether restarts wait for the old thread; host-wide, set by the embedder between tests.
    static void setRestartWaits(bool wait);
    static bool restartWaits();

private:
    // One start of threadHandler on a thread of its own.
    struct Run {
        std::thread thread;
        std::atomic<bool> stop{false};      // host threads set, the run's thread reads
        std::atomic<bool> finished{false};  // the run's thread sets as it leaves
    };
    void launch();
    // Takes the current run out and asks it to stop; mutex_ held. The caller then calls the
    // node's threadShutdownHandler, without the lock.
    std::unique_ptr<Run> takeCurrent();
    // Joins the retired runs that have left; mutex_ held.
    void reapFinished();
    void run(Run* run);

    MPxThreadedDeviceNode& node_;
    DeviceState& device_;
    mutable std::mutex mutex_;  // host threads and the capture threads; guards all below
    std::unique_ptr<Run> current_;
    std::vector<std::unique_ptr<Run>> retired_;  // asked to stop, not joined yet
    bool stopped_ = false;
    int starts_ = 0;
    static std::atomic<bool> sRestartWaits;
};

}  // namespace mayahost
