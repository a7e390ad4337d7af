#pragma once

#include <atomic>
#include <mutex>

// Which run of a node's capture thread may go on. The host shares one done flag between the
// runs it starts, and may ask a run to stop before its thread has begun (a shutdown right
// after a start) or start the next run before the last has left. So each run is numbered as
// it begins, each shutdown stops the oldest run not yet stopped, begun or not, and the done
// flag is set and cleared only under this gate: an old run leaving never sets it over a newer
// one, and a run beginning never clears a stop meant for it.
//
// Threads: begin, end and current on capture threads; stop on the host thread that shuts the
// capture thread down.
class CaptureRunGate {
public:
    // As threadHandler begins: the run's number. `setDone(false)` is called under the gate.
    template <typename SetDone>
    unsigned begin(const SetDone& setDone) {
        const std::lock_guard<std::mutex> lock(mMutex);
        ++mBegun;
        setDone(false);
        return mBegun;
    }
    // threadShutdownHandler, once per start: stops the oldest run not stopped yet, which may
    // not have begun.
    template <typename SetDone>
    void stop(const SetDone& setDone) {
        const std::lock_guard<std::mutex> lock(mMutex);
        stopOne();
        setDone(true);
    }
    // As threadHandler leaves: sets done unless a newer run has begun meanwhile.
    template <typename SetDone>
    void end(unsigned run, const SetDone& setDone) {
        const std::lock_guard<std::mutex> lock(mMutex);
        if (run == mBegun) {
            setDone(true);
        }
    }
    // Whether run `run` may go on; any thread.
    bool current(unsigned run) const;

private:
    void stopOne();

    std::mutex mMutex;                  // guards mBegun and changes of mStopped
    unsigned mBegun = 0;                // runs begun so far
    std::atomic<unsigned> mStopped{0};  // runs asked to stop; read without the lock
};
