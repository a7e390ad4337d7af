#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Unaligned little-endian loads and stores. memcpy keeps them free of alignment and aliasing
// problems and compiles to a single move on little-endian hosts.
namespace zmf::le {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
inline std::uint16_t fromHost(std::uint16_t value) {
    return __builtin_bswap16(value);
}
inline std::uint32_t fromHost(std::uint32_t value) {
    return __builtin_bswap32(value);
}
inline std::uint64_t fromHost(std::uint64_t value) {
    return __builtin_bswap64(value);
}
#else
inline std::uint16_t fromHost(std::uint16_t value) {
    return value;
}
inline std::uint32_t fromHost(std::uint32_t value) {
    return value;
}
inline std::uint64_t fromHost(std::uint64_t value) {
    return value;
}
#endif

template <typename T>
T loadRaw(const std::byte* source) {
    T value;
    std::memcpy(&value, source, sizeof value);
    return fromHost(value);
}

inline std::uint8_t loadU8(const std::byte* source) {
    return std::to_integer<std::uint8_t>(*source);
}
inline std::uint16_t loadU16(const std::byte* source) {
    return loadRaw<std::uint16_t>(source);
}
inline std::uint32_t loadU32(const std::byte* source) {
    return loadRaw<std::uint32_t>(source);
}
inline std::uint64_t loadU64(const std::byte* source) {
    return loadRaw<std::uint64_t>(source);
}
inline std::int32_t loadI32(const std::byte* source) {
    return static_cast<std::int32_t>(loadU32(source));
}
inline std::int64_t loadI64(const std::byte* source) {
    return static_cast<std::int64_t>(loadU64(source));
}
inline float loadF32(const std::byte* source) {
    const std::uint32_t bits = loadU32(source);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
inline double loadF64(const std::byte* source) {
    const std::uint64_t bits = loadU64(source);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <typename T>
void storeRaw(std::byte* target, T value) {
    value = fromHost(value);
    std::memcpy(target, &value, sizeof value);
}

inline void storeU8(std::byte* target, std::uint8_t value) {
    *target = std::byte{value};
}
inline void storeU16(std::byte* target, std::uint16_t value) {
    storeRaw(target, value);
}
inline void storeU32(std::byte* target, std::uint32_t value) {
    storeRaw(target, value);
}
inline void storeU64(std::byte* target, std::uint64_t value) {
    storeRaw(target, value);
}
inline void storeI32(std::byte* target, std::int32_t value) {
    storeU32(target, static_cast<std::uint32_t>(value));
}
inline void storeI64(std::byte* target, std::int64_t value) {
    storeU64(target, static_cast<std::uint64_t>(value));
}
inline void storeF32(std::byte* target, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    storeU32(target, bits);
}
inline void storeF64(std::byte* target, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    storeU64(target, bits);
}

}  // namespace zmf::le
