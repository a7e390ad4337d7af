#pragma once

#include <cstddef>
#include <cstdint>
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

    // Frames the network lost between the last two applied frames: the frame numbers the
    // last one skipped. 0 for consecutive, repeated or older numbers (reordered datagrams, a
    // restarted phone), before two frames since the last definition, and for a jump of more
    // than a second of frames, which is a new stream rather than a loss.
    std::uint32_t MissedFramesBeforeCurrent() const;
    // The stream's time of the last applied frame, in seconds.
    double CurrentFrameTime() const { return mCurrentFrame.timestamp; }
    static constexpr std::uint32_t kMaxMissedFrames = 60;

    bool equalsPreviousSkeletonDefinition(int numBones, float* rotX, float* rotY, float* rotZ,
                                          float* rotW, float* posX, float* posY, float* posZ);
    void detectAppFps();
    int getDetectedAppFps();
    // Whether a pair of frames has measured the rate; before that it is the default.
    bool hasMeasuredAppFps();

private:
    void InitializeSkeletonChannels();

    double mUnitScale;
    std::vector<SkeletonNodeInfo> mSkeletonDataChannels;
    FrameInfo mCurrentFrame;
    FrameInfo mPreviousFrame;
    int mFramesDecoded = 0;  // saturates at 2: whether mPreviousFrame holds a decoded frame
    std::mutex mFpsMutex;
    int mDetectedAppFps;           // guarded by mFpsMutex
    bool mAppFpsMeasured = false;  // guarded by mFpsMutex
};
