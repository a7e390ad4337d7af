#include "DatagramBatch.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

DatagramBatch::Result DatagramBatch::read(int descriptor, int most) {
    mCount = 0;
    if (most < 1 || most > kCapacity) {
        errno = EINVAL;
        return Result::Failed;
    }
#if defined(__linux__)
    std::array<iovec, kCapacity> vectors{};
    std::array<mmsghdr, kCapacity> headers{};
    for (int i = 0; i < most; ++i) {
        vectors[i].iov_base = mBuffers[i].data();
        vectors[i].iov_len = kDatagramCapacity;
        headers[i].msg_hdr.msg_iov = &vectors[i];
        headers[i].msg_hdr.msg_iovlen = 1;
        headers[i].msg_hdr.msg_name = &mSenders[i];
        headers[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
    }
    const int received = recvmmsg(descriptor, headers.data(), static_cast<unsigned int>(most),
                                  MSG_DONTWAIT, nullptr);
    if (received >= 0) {
        for (int i = 0; i < received; ++i) {
            mLengths[i] = headers[i].msg_len;
        }
        mCount = received;
        return received > 0 ? Result::Read : Result::Empty;
    }
#else
    socklen_t senderLength = sizeof(sockaddr_in);
    const ssize_t length = recvfrom(descriptor, mBuffers[0].data(), kDatagramCapacity, MSG_DONTWAIT,
                                    reinterpret_cast<sockaddr*>(&mSenders[0]), &senderLength);
    if (length >= 0) {
        mLengths[0] = static_cast<std::size_t>(length);
        mCount = 1;
        return Result::Read;
    }
#endif
    if (errno == EINTR) {
        return Result::Interrupted;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK ? Result::Empty : Result::Failed;
}
