#include "CaptureWaker.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace {

bool makeNonBlocking(int descriptor) {
    const int flags = fcntl(descriptor, F_GETFL);
    return flags != -1 && fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != -1 &&
           fcntl(descriptor, F_SETFD, FD_CLOEXEC) != -1;
}

}  // namespace

CaptureWaker::CaptureWaker() {
    int ends[2] = {-1, -1};
    if (pipe(ends) != 0) {
        return;  // without a pipe the waits fall back to their time-outs
    }
    if (!makeNonBlocking(ends[0]) || !makeNonBlocking(ends[1])) {
        close(ends[0]);
        close(ends[1]);
        return;
    }
    mReadEnd = ends[0];
    mWriteEnd = ends[1];
}

CaptureWaker::~CaptureWaker() {
    if (mReadEnd != -1) {
        close(mReadEnd);
        close(mWriteEnd);
    }
}

void CaptureWaker::wake() {
    if (mWriteEnd == -1) {
        return;
    }
    const char byte = 1;
    // A full pipe already holds a pending wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(mWriteEnd, &byte, 1);
}

CaptureWaker::WaitResult CaptureWaker::waitForWake(std::chrono::milliseconds timeout) {
    return wait(-1, timeout);
}

CaptureWaker::WaitResult CaptureWaker::waitReadable(int descriptor,
                                                    std::chrono::milliseconds timeout) {
    return wait(descriptor, timeout);
}

CaptureWaker::WaitResult CaptureWaker::wait(int descriptor, std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{mReadEnd, POLLIN, 0}, {descriptor, POLLIN, 0}};
    const nfds_t count = descriptor >= 0 ? 2 : 1;
    if (mReadEnd == -1 && descriptor < 0) {
        std::this_thread::sleep_for(timeout);
        return WaitResult::TimedOut;
    }
    // poll ignores negative descriptors, so a missing pipe simply never wakes.
    const int ready = poll(fds, count, static_cast<int>(timeout.count()));
    if (ready <= 0) {
        return WaitResult::TimedOut;  // EINTR counts as a time-out: the caller re-checks
    }
    if ((fds[0].revents & POLLIN) != 0) {
        drain();
        return WaitResult::Woken;
    }
    if (count == 2 && fds[1].revents != 0) {
        // POLLERR/POLLNVAL too: the receive then fails and the caller re-checks its socket.
        return WaitResult::Readable;
    }
    return WaitResult::TimedOut;
}

void CaptureWaker::drain() {
    char bytes[64];
    while (read(mReadEnd, bytes, sizeof(bytes)) > 0) {
    }
}
