#include "TulvexDataHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "AppFpsDetection.h"
#include "ZarnMotionFormat.h"

namespace {

struct DefaultBone {
    const char* name;
    int parentIndex;
    double x, y, z;
};

// clang-format off
constexpr DefaultBone kDefaultSkeleton[TulvexDataHandler::kNumBones] = {
    {"root",       -1,   0,  94,  0},
    {"torso_1",     0,   0,   5,  0},
    {"torso_2",     1,   0,   5,  0},
    {"torso_3",     2,   0,   5,  0},
    {"torso_4",     3,   0,   5,  0},
    {"torso_5",     4,   0,   5,  0},
    {"torso_6",     5,   0,   7,  0},
    {"torso_7",     6,   0,  10,  0},
    {"neck_1",      7,   0,   4,  0},
    {"neck_2",      8,   0,   4,  0},
    {"head",        9,   0,   4,  0},
    {"l_shoulder",  7,   1,  -6,  7},
    {"l_up_arm",   11,  12,   5,  0},
    {"l_low_arm",  12,   0, -28,  0},
    {"l_hand",     13,   0, -23,  0},
    {"r_shoulder",  7,  -1,  -6,  7},
    {"r_up_arm",   15, -12,   5,  0},
    {"r_low_arm",  16,   0, -28,  0},
    {"r_hand",     17,   0, -23,  0},
    {"l_up_leg",    0,   9,  -4,  3},
    {"l_low_leg",  19,   0, -40,  2},
    {"l_foot",     20,   0, -40, -2},
    {"l_toes",     21,   0, -10, 13},
    {"r_up_leg",    0,  -9,  -4,  3},
    {"r_low_leg",  23,   0, -40,  2},
    {"r_foot",     24,   0, -40, -2},
    {"r_toes",     25,   0, -10, 13},
};
// clang-format on

constexpr int kLeftUpperArm = 12;
constexpr int kRightUpperArm = 16;

// How many records a library bone count may touch: never more than the skeleton holds, and
// none for a negative count.
int bonesToApply(std::int32_t numBones) {
    return std::clamp<std::int32_t>(numBones, 0, TulvexDataHandler::kNumBones);
}

}  // namespace

TulvexDataHandler::TulvexDataHandler() : mUnitScale(100.0), mDetectedAppFps(50) {
    InitializeSkeletonChannels();
}

void TulvexDataHandler::InitializeSkeletonChannels() {
    mCurrentFrame.boneIds.assign(kNumBones, 0);
    mPreviousFrame.boneIds.assign(kNumBones, 0);
    mSkeletonDataChannels.assign(kNumBones, SkeletonNodeInfo{});
    for (int i = 0; i < kNumBones; ++i) {
        SkeletonNodeInfo& bone = mSkeletonDataChannels[i];
        const DefaultBone& pose = kDefaultSkeleton[i];
        bone.name = pose.name;
        bone.parentIndex = pose.parentIndex;
        bone.currentTranslation[0] = pose.x;
        bone.currentTranslation[1] = pose.y;
        bone.currentTranslation[2] = pose.z;
        bone.currentRotation[3] = 1.0;
    }
    // 0.707 as the stream's reference pose has it, not the exact square root of one half.
    mSkeletonDataChannels[kLeftUpperArm].currentRotation[2] = 0.707;
    mSkeletonDataChannels[kLeftUpperArm].currentRotation[3] = 0.707;
    mSkeletonDataChannels[kRightUpperArm].currentRotation[2] = 0.707;
    mSkeletonDataChannels[kRightUpperArm].currentRotation[3] = -0.707;
    for (SkeletonNodeInfo& bone : mSkeletonDataChannels) {
        std::copy(std::begin(bone.currentTranslation), std::end(bone.currentTranslation),
                  std::begin(bone.restTranslation));
        std::copy(std::begin(bone.currentRotation), std::end(bone.currentRotation),
                  std::begin(bone.restRotation));
    }
}

const std::vector<SkeletonNodeInfo>& TulvexDataHandler::GetSkeletonDataChannels() const {
    return mSkeletonDataChannels;
}

SkeletonNodeInfo* TulvexDataHandler::GetBoneInfoByIndex(int index) {
    return &mSkeletonDataChannels[static_cast<std::size_t>(index)];
}

int TulvexDataHandler::GetNumBones() const {
    return kNumBones;
}

bool TulvexDataHandler::IsFrameData(std::byte* data, int size) {
    if (ZarnMotionFormat::IsZmfBytes == nullptr || ZarnMotionFormat::IsFrameDataBytes == nullptr) {
        return false;
    }
    return ZarnMotionFormat::IsZmfBytes(size, data) &&
           ZarnMotionFormat::IsFrameDataBytes(size, data);
}

bool TulvexDataHandler::IsSkeletonDefinition(std::byte* data, int size) {
    if (ZarnMotionFormat::IsZmfBytes == nullptr ||
        ZarnMotionFormat::IsSkeletonDefinitionBytes == nullptr) {
        return false;
    }
    return ZarnMotionFormat::IsZmfBytes(size, data) &&
           ZarnMotionFormat::IsSkeletonDefinitionBytes(size, data);
}

void TulvexDataHandler::ProcessFrameData(std::byte* data, int size) {
    if (ZarnMotionFormat::ConvertBytesToFrameData == nullptr) {
        return;
    }
    std::int64_t captureTime = 0;
    std::int32_t revision = 0;
    std::int32_t frameNumber = 0;
    float confidence = 0.0F;
    double timestamp = 0.0;
    std::int32_t numBones = 0;
    std::int32_t* boneIds = nullptr;
    float* rot[4] = {nullptr, nullptr, nullptr, nullptr};
    float* pos[3] = {nullptr, nullptr, nullptr};
    if (!ZarnMotionFormat::ConvertBytesToFrameData(
            size, data, &captureTime, &revision, &frameNumber, &confidence, &timestamp, &numBones,
            &boneIds, &rot[0], &rot[1], &rot[2], &rot[3], &pos[0], &pos[1], &pos[2])) {
        return;
    }
    const int count = bonesToApply(numBones);
    if (count > 0 && (boneIds == nullptr ||
                      std::find(std::begin(rot), std::end(rot), nullptr) != std::end(rot) ||
                      std::find(std::begin(pos), std::end(pos), nullptr) != std::end(pos))) {
        return;  // a library that claims bones without arrays decoded nothing usable
    }

    // Copy-assignment reuses the 27-entry id storage: the frame path allocates nothing.
    mPreviousFrame = mCurrentFrame;
    mCurrentFrame.frameNumber = frameNumber;
    mCurrentFrame.confidence = confidence;
    mCurrentFrame.timestamp = timestamp;
    mCurrentFrame.numBones = numBones;
    mCurrentFrame.captureTime = captureTime;
    mCurrentFrame.revision = revision;
    mFramesDecoded = mFramesDecoded < 2 ? mFramesDecoded + 1 : 2;
    detectAppFps();

    for (int i = 0; i < count; ++i) {
        SkeletonNodeInfo& bone = mSkeletonDataChannels[static_cast<std::size_t>(i)];
        for (int c = 0; c < 3; ++c) {
            bone.currentTranslation[c] = static_cast<double>(pos[c][i]) * mUnitScale;
        }
        for (int c = 0; c < 4; ++c) {
            bone.currentRotation[c] = static_cast<double>(rot[c][i]);
        }
        mCurrentFrame.boneIds[static_cast<std::size_t>(i)] = boneIds[i];
    }
}

bool TulvexDataHandler::ProcessSkeletonDefinitionData(std::byte* data, int size) {
    // Frames ignored until this definition is bound were not lost: counting starts afresh.
    mFramesDecoded = 0;
    if (ZarnMotionFormat::ConvertBytesToSkeletonDefinition == nullptr) {
        return false;
    }
    std::uint64_t skeletonId = 0;
    std::int32_t revision = 0;
    std::int32_t numBones = 0;
    std::uint64_t createdTime = 0;
    std::uint64_t flags = 0;
    float* rot[4] = {nullptr, nullptr, nullptr, nullptr};
    float* pos[3] = {nullptr, nullptr, nullptr};
    if (!ZarnMotionFormat::ConvertBytesToSkeletonDefinition(
            size, data, &skeletonId, &revision, &numBones, &createdTime, &flags, &rot[0], &rot[1],
            &rot[2], &rot[3], &pos[0], &pos[1], &pos[2])) {
        return false;
    }
    const int count = bonesToApply(numBones);
    if (count > 0 && (std::find(std::begin(rot), std::end(rot), nullptr) != std::end(rot) ||
                      std::find(std::begin(pos), std::end(pos), nullptr) != std::end(pos))) {
        return false;
    }
    if (equalsPreviousSkeletonDefinition(numBones, rot[0], rot[1], rot[2], rot[3], pos[0], pos[1],
                                         pos[2])) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        SkeletonNodeInfo& bone = mSkeletonDataChannels[static_cast<std::size_t>(i)];
        for (int c = 0; c < 3; ++c) {
            const double value = static_cast<double>(pos[c][i]) * mUnitScale;
            bone.restTranslation[c] = value;
            bone.currentTranslation[c] = value;
        }
        for (int c = 0; c < 4; ++c) {
            const double value = static_cast<double>(rot[c][i]);
            bone.restRotation[c] = value;
            bone.currentRotation[c] = value;
        }
    }
    return true;
}

bool TulvexDataHandler::equalsPreviousSkeletonDefinition(int numBones, float* /*rotX*/,
                                                         float* /*rotY*/, float* /*rotZ*/,
                                                         float* /*rotW*/, float* posX, float* posY,
                                                         float* posZ) {
    // Only translations tell a new definition from a repeat; rotations are not compared.
    const int count = bonesToApply(numBones);
    if (count == 0) {
        return true;
    }
    const float* const pos[3] = {posX, posY, posZ};
    for (int i = 0; i < count; ++i) {
        const SkeletonNodeInfo& bone = mSkeletonDataChannels[static_cast<std::size_t>(i)];
        for (int c = 0; c < 3; ++c) {
            // Exact comparison: an applied definition stores exactly this product. NaN
            // compares unequal, so it counts as new.
            if (!(bone.restTranslation[c] == static_cast<double>(pos[c][i]) * mUnitScale)) {
                return false;
            }
        }
    }
    return true;
}

std::uint32_t TulvexDataHandler::MissedFramesBeforeCurrent() const {
    if (mFramesDecoded < 2) {
        return 0;
    }
    // Unsigned, so a number that wrapped past the maximum still counts forward.
    const std::uint32_t step = static_cast<std::uint32_t>(mCurrentFrame.frameNumber) -
                               static_cast<std::uint32_t>(mPreviousFrame.frameNumber);
    return step >= 2 && step <= kMaxMissedFrames + 1 ? step - 1 : 0;
}

void TulvexDataHandler::detectAppFps() {
    const int rate =
        AppFpsDetection::rateFromFrames(mPreviousFrame.frameNumber, mPreviousFrame.timestamp,
                                        mCurrentFrame.frameNumber, mCurrentFrame.timestamp);
    if (rate == AppFpsDetection::kNoRate) {
        return;
    }
    std::lock_guard<std::mutex> lock(mFpsMutex);
    mDetectedAppFps = rate;
    mAppFpsMeasured = true;
}

int TulvexDataHandler::getDetectedAppFps() {
    std::lock_guard<std::mutex> lock(mFpsMutex);
    return mDetectedAppFps;
}

bool TulvexDataHandler::hasMeasuredAppFps() {
    std::lock_guard<std::mutex> lock(mFpsMutex);
    return mAppFpsMeasured;
}
