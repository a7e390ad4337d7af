#pragma once

#include <netinet/in.h>

#include <array>
#include <cstddef>

// Reads the datagrams a socket holds, several in one system call where the system has one
// for that. A pass that finds a single datagram then needs no second read to learn that the
// socket is empty: the read that returned fewer than asked said so.
//
// Capture thread only; holds no descriptor of its own.
class DatagramBatch {
public:
#if defined(__linux__)
    static constexpr int kCapacity = 4;
#else
    static constexpr int kCapacity = 1;
#endif
    static constexpr std::size_t kDatagramCapacity = 4096;

    enum class Result { Read, Empty, Interrupted, Failed };

    // Reads up to `most` (1 to kCapacity) waiting datagrams without blocking. Read: count()
    // of them, at least one; Empty: none was waiting; Failed: the read failed (errno says).
    Result read(int descriptor, int most);

    int count() const {
        return mCount;
    }
    // Datagram `index` of the last read, truncated to kDatagramCapacity bytes.
    const std::byte* data(int index) const {
        return mBuffers[index].data();
    }
    std::size_t length(int index) const {
        return mLengths[index];
    }
    const sockaddr_in& sender(int index) const {
        return mSenders[index];
    }

private:
    std::array<std::array<std::byte, kDatagramCapacity>, kCapacity> mBuffers{};
    std::array<std::size_t, kCapacity> mLengths{};
    std::array<sockaddr_in, kCapacity> mSenders{};
    int mCount = 0;
};
