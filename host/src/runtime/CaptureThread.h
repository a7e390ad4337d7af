#pragma once

#include <maya/MApiNamespace.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace mayahost {

class DeviceState;

// The one capture thread of a threaded device node: started after postConstructor,
// restarted when `live` or `frameRate` changes, stopped before the node is destroyed.
class CaptureThread {
public:
    CaptureThread(MPxThreadedDeviceNode& node, DeviceState& device);
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;
    ~CaptureThread();

    void start();
    // threadShutdownHandler, join, start again. Safe from any host thread, the capture thread
    // included, and while another restart runs (that one then goes round once more).
    void restart();
    // threadShutdownHandler and join; no restart afterwards, until resume.
    void stop();
    // Starts the thread again after stop, as undoing a node's deletion does.
    void resume();
    int starts() const;

private:
    void run();

    MPxThreadedDeviceNode& node_;
    DeviceState& device_;
    mutable std::mutex mutex_;  // host threads and the capture thread; guards all below
    std::condition_variable idle_;
    std::thread thread_;
    bool restarting_ = false;
    bool again_ = false;
    bool stopped_ = false;
    bool rerun_ = false;
    int starts_ = 0;
};

}  // namespace mayahost
