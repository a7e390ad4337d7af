#include "StreamSocketSlot.h"

#include <unistd.h>

#include <chrono>

#include "CaptureWaker.h"

namespace {

// How often a waiting close wakes the borrower again: a wake-up taken by another run of the
// node, leaving its own, must not hold the close for a whole receive wait.
constexpr std::chrono::milliseconds kRecallInterval(2);

}  // namespace

StreamSocketSlot::~StreamSocketSlot() {
    if (mDescriptor != 0) {
        ::close(mDescriptor);
    }
}

bool StreamSocketSlot::install(int descriptor) {
    const std::lock_guard<std::mutex> lock(mMutex);
    if (mDescriptor != 0) {
        return false;
    }
    mDescriptor = descriptor;
    return true;
}

bool StreamSocketSlot::close(CaptureWaker& waker) {
    std::unique_lock<std::mutex> lock(mMutex);
    if (mDescriptor == 0) {
        return false;
    }
    mRecalled.store(true);
    while (mLent) {
        waker.wake();
        mHandedBack.wait_for(lock, kRecallInterval);
    }
    ::close(mDescriptor);
    mDescriptor = 0;
    mRecalled.store(false);
    return true;
}

bool StreamSocketSlot::isOpen() const {
    const std::lock_guard<std::mutex> lock(mMutex);
    return mDescriptor != 0;
}

int StreamSocketSlot::borrow() {
    const std::lock_guard<std::mutex> lock(mMutex);
    if (mDescriptor == 0 || mRecalled.load()) {
        return 0;
    }
    if (mLent) {
        mWanted = true;
        return 0;
    }
    mLent = true;
    return mDescriptor;
}

void StreamSocketSlot::giveBack(CaptureWaker& waker) {
    bool wanted = false;
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mLent = false;
        wanted = mWanted;
        mWanted = false;
    }
    mHandedBack.notify_all();
    if (wanted) {
        waker.wake();
    }
}
