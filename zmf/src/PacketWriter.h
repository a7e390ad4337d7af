#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "zmf/ZmfCodec.h"

namespace zmf {

// Builds one packet: the header is laid out up front, the payload is written by offset (the
// same offsets PacketView reads), and finish() appends the CRC.
class PacketWriter {
public:
    // payloadSize must fit the header's u32 length field.
    PacketWriter(PacketKind kind, std::size_t payloadSize);

    void u64(std::size_t offset, std::uint64_t value) noexcept;
    void i64(std::size_t offset, std::int64_t value) noexcept;
    void i32(std::size_t offset, std::int32_t value) noexcept;
    void f32(std::size_t offset, float value) noexcept;
    void f64(std::size_t offset, double value) noexcept;
    void pose(std::size_t offset, const BonePose& bone) noexcept;

    std::vector<std::byte> finish() &&;

private:
    std::byte* payload(std::size_t offset) noexcept;

    std::vector<std::byte> bytes_;
};

}  // namespace zmf
