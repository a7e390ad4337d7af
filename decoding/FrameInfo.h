#pragma once

#include <cstdint>
#include <vector>

// Header of one decoded frame as the decoding library returned it. Only frameNumber and
// timestamp are read again (rate detection); the rest keeps the latest header whole.
struct FrameInfo {
    std::int32_t frameNumber = 0;
    float confidence = 0.0F;
    double timestamp = 0.0;  // seconds
    std::int32_t numBones = 0;
    std::int64_t captureTime = 0;
    std::int32_t revision = 0;
    std::vector<int> boneIds;  // sized to 27 at construction, never resized afterwards
};
