#pragma once

#include <cstddef>

namespace zmf {

// Checks a packet's trailing CRC. A receiver asks "is it ZMF?", "is it a frame?" and then
// decodes, each call validating the same datagram in full; remembering the last packet this
// thread verified lets the second and third calls compare bytes instead of recomputing the CRC.
// The comparison covers the whole packet, so the answer is always that of a fresh computation.
class CrcMemo {
public:
    // packetSize counts header, payload and CRC; the caller has checked it lies within the data.
    static bool verify(const std::byte* packet, std::size_t packetSize) noexcept;
};

}  // namespace zmf
