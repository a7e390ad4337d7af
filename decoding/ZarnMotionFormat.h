#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Binder of the decoding library "zarn_motion_format", which is loaded at run time from the
// plug-in's module folder. Static only: one binding per loaded plug-in.
//
// Threads: Initialize and Shutdown run on the main thread at plug-in load and unload; the
// slots are then read without a lock by every capture thread. No node can be live while
// they change, so no lock is needed. Whenever the library is closed all five slots are
// cleared, and callers treat a null slot as "not bound".
class ZarnMotionFormat {
public:
    using IsZmfBytesFn = bool (*)(std::int32_t size, const std::byte* data);
    using IsSkeletonDefinitionBytesFn = bool (*)(std::int32_t size, const std::byte* data);
    using IsFrameDataBytesFn = bool (*)(std::int32_t size, const std::byte* data);
    using ConvertBytesToSkeletonDefinitionFn = bool (*)(
        std::int32_t size, const std::byte* data, std::uint64_t* skeletonId, std::int32_t* revision,
        std::int32_t* numBones, std::uint64_t* createdTime, std::uint64_t* flags, float** rotX,
        float** rotY, float** rotZ, float** rotW, float** posX, float** posY, float** posZ);
    using ConvertBytesToFrameDataFn = bool (*)(std::int32_t size, const std::byte* data,
                                               std::int64_t* captureTime, std::int32_t* revision,
                                               std::int32_t* frameNumber, float* confidence,
                                               double* timestamp, std::int32_t* numBones,
                                               std::int32_t** boneIds, float** rotX, float** rotY,
                                               float** rotZ, float** rotW, float** posX,
                                               float** posY, float** posZ);

    static IsZmfBytesFn IsZmfBytes;
    static IsSkeletonDefinitionBytesFn IsSkeletonDefinitionBytes;
    static IsFrameDataBytesFn IsFrameDataBytes;
    static ConvertBytesToSkeletonDefinitionFn ConvertBytesToSkeletonDefinition;
    static ConvertBytesToFrameDataFn ConvertBytesToFrameData;
    static void* mDllHandle;
    static std::string mPluginPath;

    // Binds the library found two folder levels above `pluginPath`. Does nothing while a
    // library is bound. Failures are reported to the user; plug-in loading goes on.
    static void Initialize(const std::string& pluginPath);
    static bool LoadDll();
    static std::string GetDLLPath();
    static void Shutdown();

    // True while all five entry points are bound.
    static bool IsBound();

    ZarnMotionFormat() = delete;

private:
    static void CloseLibrary();
};
