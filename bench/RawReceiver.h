#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// The raw baseline beside the capture thread: a thread blocked in poll() on a socket and a
// wake-up pipe, as ours is, that reads each datagram the moment it arrives and does nothing
// with it but note its frame number.
class RawReceiver {
public:
    explicit RawReceiver(int port);
    ~RawReceiver();
    RawReceiver(const RawReceiver&) = delete;
    RawReceiver& operator=(const RawReceiver&) = delete;

    // Ends the thread; afterwards cpuSeconds() holds what it used.
    void stop();
    // Waits until more than `count` datagrams were received; the main thread sleeps on it as
    // it does on a refresh, so both figures include one thread wake-up.
    void waitBeyond(std::int64_t count);

    int port() const { return mPort; }
    std::int64_t received() const { return mReceived.load(); }
    // Frame number of the newest frame datagram, -1 before the first, and when it was read.
    std::int64_t newestFrame() const { return mNewestFrame.load(); }
    std::chrono::steady_clock::time_point newestFrameRead() const {
        return std::chrono::steady_clock::time_point(
            std::chrono::steady_clock::duration(mNewestFrameRead.load()));
    }
    double cpuSeconds() const { return mCpuSeconds.load(); }

private:
    void run();

    int mPort;
    int mSocket;
    int mPipe[2] = {-1, -1};
    std::atomic<std::int64_t> mReceived{0};      // receiver writes, any thread reads
    std::atomic<std::int64_t> mNewestFrame{-1};  // receiver writes, any thread reads
    std::atomic<std::chrono::steady_clock::rep> mNewestFrameRead{0};  // receiver writes
    std::atomic<double> mCpuSeconds{0.0};                             // receiver writes as it ends
    std::mutex mMutex;  // pairs mArrived with mReceived
    std::condition_variable mArrived;
    std::thread mThread;
};
