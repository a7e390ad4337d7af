#include "Crc32.h"

#include <array>

#include "zmf/LittleEndian.h"

namespace zmf {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320U;
constexpr std::size_t kSlices = 8;
using Tables = std::array<std::array<std::uint32_t, 256>, kSlices>;

// tables[k][b] is the CRC register after feeding byte b followed by k zero bytes, so eight
// input bytes can be folded in with eight independent lookups.
constexpr Tables makeTables() {
    Tables tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1U) != 0 ? (crc >> 1U) ^ kPolynomial : crc >> 1U;
        }
        tables[0][byte] = crc;
    }
    for (std::size_t slice = 1; slice < kSlices; ++slice) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const std::uint32_t previous = tables[slice - 1][byte];
            tables[slice][byte] = (previous >> 8U) ^ tables[0][previous & 0xFFU];
        }
    }
    return tables;
}

// Built by the compiler: no start-up cost and nothing to synchronise between threads.
constexpr Tables kTables = makeTables();

}  // namespace

std::uint32_t Crc32::compute(const std::byte* data, std::size_t size) noexcept {
    std::uint32_t crc = 0xFFFFFFFFU;
    while (size >= kSlices) {
        const std::uint32_t low = le::loadU32(data) ^ crc;
        const std::uint32_t high = le::loadU32(data + 4);
        crc = kTables[7][low & 0xFFU] ^ kTables[6][(low >> 8U) & 0xFFU] ^
              kTables[5][(low >> 16U) & 0xFFU] ^ kTables[4][low >> 24U] ^ kTables[3][high & 0xFFU] ^
              kTables[2][(high >> 8U) & 0xFFU] ^ kTables[1][(high >> 16U) & 0xFFU] ^
              kTables[0][high >> 24U];
        data += kSlices;
        size -= kSlices;
    }
    for (; size > 0; --size, ++data) {
        crc = kTables[0][(crc ^ std::to_integer<std::uint32_t>(*data)) & 0xFFU] ^ (crc >> 8U);
    }
    return crc ^ 0xFFFFFFFFU;
}

}  // namespace zmf
