#pragma once

#include <chrono>

// Lets the host side wake a capture thread that waits for a datagram or for its socket to
// be opened. A self-pipe with poll(): shutdown() does not wake a blocked receive on every
// system, and closing a descriptor another thread waits on is unsafe everywhere.
//
// Threads: wake() from any thread; the wait functions from the capture thread only.
class CaptureWaker {
public:
    enum class WaitResult { Readable, Woken, TimedOut };

    CaptureWaker();
    ~CaptureWaker();
    CaptureWaker(const CaptureWaker&) = delete;
    CaptureWaker& operator=(const CaptureWaker&) = delete;

    void wake();
    // Waits until wake() is called or the timeout passes.
    WaitResult waitForWake(std::chrono::milliseconds timeout);
    // Waits until `descriptor` has data, wake() is called, or the timeout passes. A wake
    // wins over data so that a stop request is never starved by a busy stream.
    WaitResult waitReadable(int descriptor, std::chrono::milliseconds timeout);

private:
    WaitResult wait(int descriptor, std::chrono::milliseconds timeout);
    void drain();

    int mReadEnd = -1;   // written at construction only
    int mWriteEnd = -1;  // written at construction only
};
