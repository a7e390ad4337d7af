#pragma once

#include <cstddef>
#include <cstdint>

namespace zmf {

// CRC-32 as used by zlib and Ethernet: reflected polynomial 0xEDB88320, initial value and final
// xor 0xFFFFFFFF. Slicing-by-8 keeps a ~1 KB frame well inside the per-frame time budget.
class Crc32 {
public:
    static std::uint32_t compute(const std::byte* data, std::size_t size) noexcept;
};

}  // namespace zmf
