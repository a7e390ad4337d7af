#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

class CaptureWaker;

// The stream's socket descriptor, owned by the node. The host side puts an open descriptor in
// and closes it; a capture run borrows it for one wait and drain, one run at a time. A close
// recalls a borrowed descriptor first, waking the borrower and waiting until it is handed
// back, so no descriptor is closed, nor its number reused by the next open, under a read.
//
// Threads: install, close and isOpen on the host side (evaluation or main); borrow, giveBack
// and recalled on capture threads.
class StreamSocketSlot {
public:
    StreamSocketSlot() = default;
    ~StreamSocketSlot();
    StreamSocketSlot(const StreamSocketSlot&) = delete;
    StreamSocketSlot& operator=(const StreamSocketSlot&) = delete;

    // Takes an open descriptor; false, leaving it to the caller, when one is held already.
    bool install(int descriptor);
    // Closes the descriptor if one is held; true if it did. Waits while it is borrowed.
    bool close(CaptureWaker& waker);
    bool isOpen() const;

    // The descriptor, lent until giveBack; 0 when none is held, another run has it, or a
    // close is waiting for it.
    int borrow();
    // Hands a borrowed descriptor back, and wakes a run that asked for it meanwhile.
    void giveBack(CaptureWaker& waker);
    // True while a close waits for the borrowed descriptor: the borrower stops reading.
    bool recalled() const { return mRecalled.load(); }

private:
    mutable std::mutex mMutex;  // guards mDescriptor, mLent and mWanted
    std::condition_variable mHandedBack;
    int mDescriptor = 0;  // 0 = none
    bool mLent = false;
    bool mWanted = false;  // a borrow was refused while lent
    std::atomic<bool> mRecalled{false};
};
