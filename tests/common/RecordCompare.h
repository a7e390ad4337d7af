#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "SkeletonNodeInfo.h"

// Bit-exact comparison of bone records, field by field: records carry padding, so comparing
// their raw bytes could differ where no value does.
namespace recordcompare {

inline std::uint64_t bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

template <std::size_t N>
bool sameBits(const double (&a)[N], const double (&b)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (bitsOf(a[i]) != bitsOf(b[i])) {
            return false;
        }
    }
    return true;
}

inline bool sameRecord(const SkeletonNodeInfo& a, const SkeletonNodeInfo& b) {
    return a.name == b.name && a.parentIndex == b.parentIndex &&
           sameBits(a.restTranslation, b.restTranslation) &&
           sameBits(a.restRotation, b.restRotation) &&
           sameBits(a.currentTranslation, b.currentTranslation) &&
           sameBits(a.currentRotation, b.currentRotation);
}

template <typename A, typename B>
bool sameRecords(const A& a, const B& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameRecord(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace recordcompare
