#include "ByteRing.h"

#include <cstring>

namespace {

std::size_t roundUp(std::size_t capacity) {
    std::size_t rounded = 64;
    while (rounded < capacity) {
        rounded *= 2;
    }
    return rounded;
}

}  // namespace

// Zeroed, so every page is touched here and the producer never takes a page fault.
ByteRing::ByteRing(std::size_t capacity)
    : mCapacity(roundUp(capacity)), mBytes(new std::byte[mCapacity]()) {}

void ByteRing::copyIn(std::uint64_t at, const void* data, std::size_t size) {
    const std::size_t offset = static_cast<std::size_t>(at & (mCapacity - 1));
    const std::size_t first = size < mCapacity - offset ? size : mCapacity - offset;
    const auto* bytes = static_cast<const std::byte*>(data);
    std::memcpy(mBytes.get() + offset, bytes, first);
    std::memcpy(mBytes.get(), bytes + first, size - first);
}

void ByteRing::copyOut(std::uint64_t at, void* data, std::size_t size) const {
    const std::size_t offset = static_cast<std::size_t>(at & (mCapacity - 1));
    const std::size_t first = size < mCapacity - offset ? size : mCapacity - offset;
    auto* bytes = static_cast<std::byte*>(data);
    std::memcpy(bytes, mBytes.get() + offset, first);
    std::memcpy(bytes + first, mBytes.get(), size - first);
}

bool ByteRing::tryWrite(const void* first, std::size_t firstSize, const void* second,
                        std::size_t secondSize) {
    const std::size_t size = firstSize + secondSize;
    const std::uint64_t head = mHead.load(std::memory_order_relaxed);
    const std::uint64_t tail = mTail.load(std::memory_order_acquire);
    if (size > UINT32_MAX || kLengthBytes + size > mCapacity - (head - tail)) {
        return false;
    }
    const auto length = static_cast<std::uint32_t>(size);
    copyIn(head, &length, kLengthBytes);
    if (firstSize > 0) {
        copyIn(head + kLengthBytes, first, firstSize);
    }
    if (secondSize > 0) {
        copyIn(head + kLengthBytes + firstSize, second, secondSize);
    }
    mHead.store(head + kLengthBytes + size, std::memory_order_release);
    return true;
}

bool ByteRing::peek(std::vector<std::byte>& out) const {
    const std::uint64_t tail = mTail.load(std::memory_order_relaxed);
    const std::uint64_t head = mHead.load(std::memory_order_acquire);
    if (head == tail) {
        return false;
    }
    std::uint32_t length = 0;
    copyOut(tail, &length, kLengthBytes);
    out.resize(length);
    if (length > 0) {
        copyOut(tail + kLengthBytes, out.data(), length);
    }
    mPeeked = kLengthBytes + length;
    return true;
}

void ByteRing::pop() {
    const std::uint64_t tail = mTail.load(std::memory_order_relaxed);
    mTail.store(tail + mPeeked, std::memory_order_release);
    mPeeked = 0;
}
