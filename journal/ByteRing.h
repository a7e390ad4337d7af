#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A bounded queue of variable-length records in one ring of bytes, for one producer and one
// consumer at a time (producers serialised by a lock of their own count as one). The
// producer never waits and never allocates: a record that does not fit is refused. The
// consumer copies each record out, so one may span the end of the ring.
//
// Threads: the producer writes mHead, the consumer mTail; each reads the other's with
// acquire, so the bytes of a record are visible before its head is.
class ByteRing {
public:
    // `capacity` is rounded up to a power of two of at least 64 bytes.
    explicit ByteRing(std::size_t capacity);

    // Appends one record made of two parts. False, and nothing written, when it does not fit.
    bool tryWrite(const void* first, std::size_t firstSize, const void* second,
                  std::size_t secondSize);
    // Copies the oldest record into `out` without removing it; false when the ring is empty.
    bool peek(std::vector<std::byte>& out) const;
    // Removes the record the last peek returned.
    void pop();

    std::size_t capacity() const { return mCapacity; }

private:
    static constexpr std::size_t kLengthBytes = sizeof(std::uint32_t);
    void copyIn(std::uint64_t at, const void* data, std::size_t size);
    void copyOut(std::uint64_t at, void* data, std::size_t size) const;

    std::size_t mCapacity;
    std::unique_ptr<std::byte[]> mBytes;
    alignas(64) std::atomic<std::uint64_t> mHead{0};  // producer writes
    alignas(64) std::atomic<std::uint64_t> mTail{0};  // consumer writes
    mutable std::size_t mPeeked = 0;                  // consumer only
};
