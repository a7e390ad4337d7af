#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "FrameInfo.h"
#include "SkeletonNodeInfo.h"

// Decoder state of one stream: the 27 bone records, the headers of the last two frames and
// the detected stream rate. All bytes are parsed by the decoding library; this class only
// converts and stores what the library returns.
//
// Threads: the capture thread is the single writer of the records and both frame headers.
// The class takes no lock of its own for them: its owner serialises every access (the node
// holds its channels mutex around the capture thread's writes and the host side's copies).
// mFpsMutex guards mDetectedAppFps alone.
class TulvexDataHandler {
public:
    static constexpr int kNumBones = 27;

    TulvexDataHandler();

    const std::vector<SkeletonNodeInfo>& GetSkeletonDataChannels() const;
    // No range check: index must lie in 0..26.
    SkeletonNodeInfo* GetBoneInfoByIndex(int index);
    int GetNumBones() const;

    // Classification changes nothing; false while the library is not bound.
    bool IsFrameData(std::byte* data, int size);
    bool IsSkeletonDefinition(std::byte* data, int size);

    // Applies a frame to the current pose of the first min(N, 27) records and measures the
    // stream rate; a buffer that does not decode changes nothing.
    void ProcessFrameData(std::byte* data, int size);
    // True when a definition with new translations was decoded and applied.
    bool ProcessSkeletonDefinitionData(std::byte* data, int size);

    bool equalsPreviousSkeletonDefinition(int numBones, float* rotX, float* rotY, float* rotZ,
                                          float* rotW, float* posX, float* posY, float* posZ);
    void detectAppFps();
    int getDetectedAppFps();

private:
    void InitializeSkeletonChannels();

    double mUnitScale;
    std::vector<SkeletonNodeInfo> mSkeletonDataChannels;
    FrameInfo mCurrentFrame;
    FrameInfo mPreviousFrame;
    std::mutex mFpsMutex;
    int mDetectedAppFps;  // guarded by mFpsMutex
};
