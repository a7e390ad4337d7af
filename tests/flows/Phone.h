#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace flowtest {

// A phone streaming one performer to a loopback port from its own thread: a skeleton
// definition first, then frames at `fps` whose root x is the frame number / 100 (metres) and
// whose bones turn a degree a frame about z. It can send a new definition, as a phone does
// when the performer is calibrated again: after a pause long enough for the node to wait for
// one.
class Phone {
public:
    Phone(int port, int fps, float restX);
    ~Phone();
    Phone(const Phone&) = delete;
    Phone& operator=(const Phone&) = delete;

    // A pause of more than a second, then a new definition, then frames again.
    void redefine(float restX);
    std::int32_t framesSent() const { return mFrames.load(); }

private:
    void run();

    const int mPort;
    const int mFps;
    std::mutex mMutex;  // the test thread and the phone thread; guards both below
    float mRestX;
    bool mRedefine = true;
    bool mPause = false;
    std::atomic<bool> mRunning{true};
    std::atomic<std::int32_t> mFrames{0};
    std::thread mThread;
};

}  // namespace flowtest
