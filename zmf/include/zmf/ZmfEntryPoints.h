#pragma once

#include <cstddef>
#include <cstdint>

// The C entry points of the zarn_motion_format module, which the plug-in binds by name with
// dlsym. Everything else in the module is hidden.
#define ZMF_API __attribute__((visibility("default")))

extern "C" {

ZMF_API bool IsZmfBytes(std::int32_t size, const std::byte* data) noexcept;
ZMF_API bool IsSkeletonDefinitionBytes(std::int32_t size, const std::byte* data) noexcept;
ZMF_API bool IsFrameDataBytes(std::int32_t size, const std::byte* data) noexcept;

ZMF_API bool ConvertBytesToSkeletonDefinition(std::int32_t size, const std::byte* data,
                                              std::uint64_t* skeletonId, std::int32_t* revision,
                                              std::int32_t* boneCount, std::uint64_t* createdMicros,
                                              std::uint64_t* flags, float** rotX, float** rotY,
                                              float** rotZ, float** rotW, float** posX,
                                              float** posY, float** posZ) noexcept;

ZMF_API bool ConvertBytesToFrameData(std::int32_t size, const std::byte* data,
                                     std::int64_t* captureMicros, std::int32_t* revision,
                                     std::int32_t* frameNumber, float* confidence,
                                     double* timestamp, std::int32_t* boneCount,
                                     std::int32_t** boneIds, float** rotX, float** rotY,
                                     float** rotZ, float** rotW, float** posX, float** posY,
                                     float** posZ) noexcept;

}  // extern "C"
