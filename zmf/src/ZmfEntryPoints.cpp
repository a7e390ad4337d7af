// The five C entry points of the zarn_motion_format module.
//
// - Every function validates the packet in full on its own (framing, CRC, payload length against
//   the bone count); callers need not call IsZmfBytes first. `size` is the number of readable
//   bytes at `data`, normally the whole 4096-byte receive buffer; bytes after the packet are
//   ignored and nothing past `size` is ever read.
// - The Convert functions return false, writing nothing, when the packet is invalid, of the
//   other kind, or any output pointer is null.
// - On success the bone arrays point into storage owned by this module and by the calling
//   thread: they stay valid, and untouched by other threads, until the same thread's next
//   Convert call. They are never null, even for zero bones.
// - Nothing throws. Storage grows only for a bone count above any the thread has seen, so the
//   steady-state frame path allocates nothing.
//
// Test builds define ZMF_OMIT_ENTRY_POINT=k to leave out the k-th function (in the order below)
// and so exercise the binder's handling of an incomplete library.

#include "zmf/ZmfEntryPoints.h"

#include <optional>

#include "BoneArrays.h"
#include "zmf/FrameView.h"
#include "zmf/PacketView.h"
#include "zmf/SkeletonDefinitionView.h"

#ifndef ZMF_OMIT_ENTRY_POINT
#define ZMF_OMIT_ENTRY_POINT 0
#endif

namespace {

using zmf::BoneArrays;

// Per thread, so that concurrent capture threads never share arrays.
thread_local BoneArrays skeletonArrays;
thread_local BoneArrays frameArrays;

template <typename View>
void copyPoses(const View& view, BoneArrays& arrays) noexcept {
    float* rotX = arrays.run(0);
    float* rotY = arrays.run(1);
    float* rotZ = arrays.run(2);
    float* rotW = arrays.run(3);
    float* posX = arrays.run(4);
    float* posY = arrays.run(5);
    float* posZ = arrays.run(6);
    const auto boneCount = static_cast<std::size_t>(view.boneCount());
    for (std::size_t i = 0; i < boneCount; ++i) {
        const zmf::BonePose bone = view.bone(i);
        rotX[i] = bone.rotation[0];
        rotY[i] = bone.rotation[1];
        rotZ[i] = bone.rotation[2];
        rotW[i] = bone.rotation[3];
        posX[i] = bone.translation[0];
        posY[i] = bone.translation[1];
        posZ[i] = bone.translation[2];
    }
}

void publishPoses(BoneArrays& arrays, float** rotX, float** rotY, float** rotZ, float** rotW,
                  float** posX, float** posY, float** posZ) noexcept {
    *rotX = arrays.run(0);
    *rotY = arrays.run(1);
    *rotZ = arrays.run(2);
    *rotW = arrays.run(3);
    *posX = arrays.run(4);
    *posY = arrays.run(5);
    *posZ = arrays.run(6);
}

}  // namespace

#if ZMF_OMIT_ENTRY_POINT != 1
extern "C" ZMF_API bool IsZmfBytes(std::int32_t size, const std::byte* data) noexcept {
    return zmf::PacketView::validate(data, size).has_value();
}
#endif

#if ZMF_OMIT_ENTRY_POINT != 2
extern "C" ZMF_API bool IsSkeletonDefinitionBytes(std::int32_t size,
                                                  const std::byte* data) noexcept {
    return zmf::SkeletonDefinitionView::from(data, size).has_value();
}
#endif

#if ZMF_OMIT_ENTRY_POINT != 3
extern "C" ZMF_API bool IsFrameDataBytes(std::int32_t size, const std::byte* data) noexcept {
    return zmf::FrameView::from(data, size).has_value();
}
#endif

#if ZMF_OMIT_ENTRY_POINT != 4
extern "C" ZMF_API bool ConvertBytesToSkeletonDefinition(
    std::int32_t size, const std::byte* data, std::uint64_t* skeletonId, std::int32_t* revision,
    std::int32_t* boneCount, std::uint64_t* createdMicros, std::uint64_t* flags, float** rotX,
    float** rotY, float** rotZ, float** rotW, float** posX, float** posY, float** posZ) noexcept {
    if (skeletonId == nullptr || revision == nullptr || boneCount == nullptr ||
        createdMicros == nullptr || flags == nullptr || rotX == nullptr || rotY == nullptr ||
        rotZ == nullptr || rotW == nullptr || posX == nullptr || posY == nullptr ||
        posZ == nullptr) {
        return false;
    }
    const std::optional<zmf::SkeletonDefinitionView> view =
        zmf::SkeletonDefinitionView::from(data, size);
    if (!view) {
        return false;
    }
    BoneArrays& arrays = skeletonArrays;
    if (!arrays.resize(static_cast<std::size_t>(view->boneCount()))) {
        return false;
    }
    copyPoses(*view, arrays);
    *skeletonId = view->skeletonId();
    *revision = view->revision();
    *boneCount = view->boneCount();
    *createdMicros = view->createdMicros();
    *flags = view->flags();
    publishPoses(arrays, rotX, rotY, rotZ, rotW, posX, posY, posZ);
    return true;
}
#endif

#if ZMF_OMIT_ENTRY_POINT != 5
extern "C" ZMF_API bool ConvertBytesToFrameData(std::int32_t size, const std::byte* data,
                                                std::int64_t* captureMicros, std::int32_t* revision,
                                                std::int32_t* frameNumber, float* confidence,
                                                double* timestamp, std::int32_t* boneCount,
                                                std::int32_t** boneIds, float** rotX, float** rotY,
                                                float** rotZ, float** rotW, float** posX,
                                                float** posY, float** posZ) noexcept {
    if (captureMicros == nullptr || revision == nullptr || frameNumber == nullptr ||
        confidence == nullptr || timestamp == nullptr || boneCount == nullptr ||
        boneIds == nullptr || rotX == nullptr || rotY == nullptr || rotZ == nullptr ||
        rotW == nullptr || posX == nullptr || posY == nullptr || posZ == nullptr) {
        return false;
    }
    const std::optional<zmf::FrameView> view = zmf::FrameView::from(data, size);
    if (!view) {
        return false;
    }
    BoneArrays& arrays = frameArrays;
    if (!arrays.resize(static_cast<std::size_t>(view->boneCount()))) {
        return false;
    }
    copyPoses(*view, arrays);
    std::int32_t* ids = arrays.boneIds();
    for (std::size_t i = 0; i < static_cast<std::size_t>(view->boneCount()); ++i) {
        ids[i] = view->boneId(i);
    }
    *captureMicros = view->captureMicros();
    *revision = view->revision();
    *frameNumber = view->frameNumber();
    *confidence = view->confidence();
    *timestamp = view->timestamp();
    *boneCount = view->boneCount();
    *boneIds = ids;
    publishPoses(arrays, rotX, rotY, rotZ, rotW, posX, posY, posZ);
    return true;
}
#endif
