#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Byte order of the journal's binary files, whatever the machine's. Readers pass a pointer
// only after checking that the whole field lies inside what was read.
namespace LittleEndian {

inline void put32(std::vector<std::byte>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::byte>(value >> (8 * i)));
    }
}

inline void put64(std::vector<std::byte>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<std::byte>(value >> (8 * i)));
    }
}

inline void putDouble(std::vector<std::byte>& out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    put64(out, bits);
}

inline std::uint32_t get32(const std::byte* at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8U) | static_cast<std::uint32_t>(at[i]);
    }
    return value;
}

inline std::uint64_t get64(const std::byte* at) {
    return static_cast<std::uint64_t>(get32(at)) |
           (static_cast<std::uint64_t>(get32(at + 4)) << 32U);
}

inline double getDouble(const std::byte* at) {
    const std::uint64_t bits = get64(at);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

}  // namespace LittleEndian
