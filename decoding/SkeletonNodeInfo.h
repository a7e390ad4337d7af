#pragma once

#include <cstdint>
#include <type_traits>

// One bone of the fixed 27-bone skeleton. Records cross from the capture thread to compute
// as a raw block of 27 x 128 bytes, so the layout is part of the contract: `name` points at
// constant text, which keeps a copied block meaningful.
struct SkeletonNodeInfo {
    const char* name;
    std::int32_t parentIndex;
    double restTranslation[3];     // x, y, z, in scaled units (library value x 100)
    double restRotation[4];        // quaternion x, y, z, w
    double currentTranslation[3];  // x, y, z
    double currentRotation[4];     // quaternion x, y, z, w
};

static_assert(sizeof(SkeletonNodeInfo) == 128, "a bone record fills one 128-byte pool element");
static_assert(std::is_trivially_copyable<SkeletonNodeInfo>::value,
              "bone records are copied as raw bytes between threads");
