// Evaluation: compute, the output arrays and the take.
#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MEulerRotation.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>

#include "EntryPointGuard.h"
#include "MessagePrinter.h"
#include "ShownPrecision.h"
#include "TulvexDeviceNode.h"
#include "UiCommandText.h"

namespace {

constexpr double kPi = 3.141592653589793;

bool isOutputPlug(const MPlug& plug) {
    const MObject* const outputs[] = {&TulvexDeviceNode::mOutputTranslate,
                                      &TulvexDeviceNode::mOutputTranslations,
                                      &TulvexDeviceNode::mOutputRotations};
    for (const MObject* output : outputs) {
        if (plug == *output || plug.parent() == *output) {
            return true;
        }
    }
    return false;
}

void reportPopulateFailure() {
    std::cerr << "Failed in populating block\n" << std::endl;
}

double degreesOrZero(double radians) {
    const double degrees = radians * 180.0 / kPi;
    return std::isnan(degrees) ? 0.0 : degrees;
}

}  // namespace

MStatus TulvexDeviceNode::compute(const MPlug& plug, MDataBlock& block) {
    return EntryPointGuard::onAnyThread(
        mUnexpectedErrorText, "TulvexDeviceNode compute",
        [this, &plug, &block] { return computeOutputs(plug, block); });
}

MStatus TulvexDeviceNode::computeOutputs(const MPlug& plug, MDataBlock& block) {
    if (!isOutputPlug(plug)) {
        return MStatus::kUnknownParameter;
    }
    if (!block.context().isNormal()) {
        return computeInContext(block);
    }
    // Inputs come from the data block and what the main thread keeps for compute: no plug
    // reads or time-control calls, which are not safe on an evaluation thread.
    const bool recording = block.inputValue(mInputRecording).asBool();
    // Whatever set the id (setAttr, a connection, a file), the capture thread's copy follows.
    mDeviceIdForThread.store(block.inputValue(mDeviceId).asInt());
    const bool isLiveNow = isLive();
    const bool playing = mPlaying.load();
    // The bake makes nodes, so it waits for idle time; the take leaves the node now, so it
    // is handed over once and a take recorded meanwhile starts afresh.
    if (!playing && (!recording || !isLiveNow) && hasRecordedData()) {
        handOverTake();
    }
    const bool sampling = recording && playing;
    const double sampleTime = sampling ? block.inputValue(mTime).asDouble() : 0.0;
    if (!isLiveNow) {
        return computeNotLive(block, sampling, sampleTime);
    }
    if (!isStreamSocketOpen() && !mLiveOffPending.load()) {
        if (openStreamSocket(block.inputValue(mInputPort).asInt()) != MStatus::kSuccess) {
            MGlobal::executeCommandOnIdle(MString(UiCommandText::error(mPortInUseText).c_str()),
                                          false);
            displayUIMessage(mPortInUseText);
            requestLiveOff();
            return MStatus::kFailure;
        }
        if (isAwaitingSkeletonDefinition() && !hasBeenCharacterized()) {
            displayUIMessage(mAwaitingText);
        }
    }
    return computeLive(block, sampling, sampleTime);
}

void TulvexDeviceNode::cleanOutputs(MDataBlock& block) {
    block.outputArrayValue(mOutputTranslations).setAllClean();
    block.outputArrayValue(mOutputRotations).setAllClean();
    block.setClean(mOutputTranslate);
}

MStatus TulvexDeviceNode::computeLive(MDataBlock& block, bool sampling, double sampleTime) {
    if (mLiveOffPending.load()) {
        return MStatus::kFailure;  // the port was in use; live goes off at idle time
    }

    // Newest first: Maya runs one evaluation for several refresh requests that come close
    // together, so blocks can wait here; all but the last pushed are older, and are handed
    // back unread.
    MCharBuffer blocks[2];
    int newest = 0;
    if (popThreadData(blocks[newest]) != MStatus::kSuccess) {
        if (sampling) {
            StreamCounters::add(mCounters.samplesWithoutPose);
        }
        return MStatus::kFailure;  // nothing pushed yet: no output, plug stays dirty
    }
    while (popThreadData(blocks[1 - newest]) == MStatus::kSuccess) {
        releaseDataStorage(blocks[newest]);
        newest = 1 - newest;
        StreamCounters::add(mCounters.blocksPassedOver);
    }
    MCharBuffer& buffer = blocks[newest];
    notePoseAge(buffer.ptr());
    const int detectedAppFps = mDataHandler.getDetectedAppFps();
    if (detectedAppFps != mCurrentAppFps) {
        requestFrameRate(detectedAppFps);
        mCurrentAppFps = detectedAppFps;
    }
    // The block is read in place in the pool's storage and handed back on every path.
    const auto* bones = reinterpret_cast<const SkeletonNodeInfo*>(buffer.ptr());
    MStatus status;
    try {
        status = populateDataBlock(block, bones, sampling, sampleTime);
    } catch (...) {
        releaseDataStorage(buffer);
        throw;
    }
    if (status != MStatus::kSuccess) {
        reportPopulateFailure();
        releaseDataStorage(buffer);
        return MStatus::kFailure;
    }
    keepShownPose(bones);
    cleanOutputs(block);
    releaseDataStorage(buffer);
    return MStatus::kSuccess;
}

MStatus TulvexDeviceNode::computeNotLive(MDataBlock& block, bool sampling, double sampleTime) {
    mLiveOffPending.store(false);
    // The capture thread may still be applying the datagram it held when live went off, so
    // the handler's records are read through a consistent copy.
    std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> channels{};
    copySkeletonChannels(channels.data());
    if (populateDataBlock(block, channels.data(), sampling, sampleTime) != MStatus::kSuccess) {
        reportPopulateFailure();
        return MStatus::kFailure;
    }
    keepShownPose(channels.data());
    cleanOutputs(block);
    if (isStreamSocketOpen()) {
        MessagePrinter::print(stdout, mClosingSocketText.c_str());
        closeStreamSocket();
    }
    updateIPTextfield();
    return MStatus::kSuccess;
}

void TulvexDeviceNode::keepShownPose(const SkeletonNodeInfo* bones) {
    std::lock_guard<std::mutex> lock(mShownPoseMutex);
    std::copy(bones, bones + TulvexDataHandler::kNumBones, mShownPose.begin());
}

MStatus TulvexDeviceNode::computeInContext(MDataBlock& block) {
    std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> pose{};
    {
        std::lock_guard<std::mutex> lock(mShownPoseMutex);
        pose = mShownPose;
    }
    // A take holding a sample at that time shows that sample.
    const double time = block.inputValue(mTime).asDouble();
    {
        std::lock_guard<std::mutex> lock(mTakeMutex);
        for (std::size_t bone = 0; bone < mRecordedData.size(); ++bone) {
            const ChunkedSequence<RecordingData>& samples = mRecordedData[bone];
            for (std::size_t i = samples.size(); i > 0; --i) {
                const RecordingData& sample = samples[i - 1];
                if (sample.sampleTime != time) {
                    continue;
                }
                // The output shows the root's current translation and the others' rest ones.
                SkeletonNodeInfo& shown = pose[bone];
                double* translation = bone == 0 ? shown.currentTranslation : shown.restTranslation;
                std::copy(sample.translation, sample.translation + 3, translation);
                const Quat& q = sample.quaternion;
                shown.currentRotation[0] = q.x;
                shown.currentRotation[1] = q.y;
                shown.currentRotation[2] = q.z;
                shown.currentRotation[3] = q.w;
                break;
            }
        }
    }
    if (populateDataBlock(block, pose.data()) != MStatus::kSuccess) {
        reportPopulateFailure();
        return MStatus::kFailure;
    }
    cleanOutputs(block);
    return MStatus::kSuccess;
}

MStatus TulvexDeviceNode::populateDataBlock(MDataBlock& block, const SkeletonNodeInfo* bones,
                                            bool sampling, double sampleTime) {
    MStatus status;
    MArrayDataHandle translationsHandle = block.outputArrayValue(mOutputTranslations, &status);
    if (status != MStatus::kSuccess) {
        std::cerr << "Error in block.outputArrayValue for outputTranslations" << std::endl;
        return MStatus::kFailure;
    }
    MArrayDataHandle rotationsHandle = block.outputArrayValue(mOutputRotations, &status);
    if (status != MStatus::kSuccess) {
        std::cerr << "Error in block.outputArrayValue for outputRotations" << std::endl;
        return MStatus::kFailure;
    }
    MArrayDataBuilder translationsBuilder = translationsHandle.builder(&status);
    if (status != MStatus::kSuccess) {
        std::cerr << "Error in translationsBuilder = translationsHandle.builder.\n" << std::endl;
        return MStatus::kFailure;
    }
    MArrayDataBuilder rotationsBuilder = rotationsHandle.builder(&status);
    if (status != MStatus::kSuccess) {
        std::cerr << "Error in rotationsBuilder = rotationsHandle.builder.\n" << std::endl;
        return MStatus::kFailure;
    }

    std::unique_lock<std::mutex> takeLock(mTakeMutex, std::defer_lock);
    if (sampling) {
        takeLock.lock();
        noteSampleTime(sampleTime);
        // Half a block's lead is thousands of capture passes, and a short take, which never
        // grows past its first blocks, has nothing made for it.
        constexpr std::size_t kBlock = ChunkedSequence<RecordingData>::kBlockSize;
        if (mRecordedData[0].size() % kBlock >= kBlock / 2) {
            mSpareBlocks.want();
        }
    }
    for (unsigned int i = 0; i < TulvexDataHandler::kNumBones; ++i) {
        const SkeletonNodeInfo& bone = bones[i];
        MDataHandle translationElement = translationsBuilder.addElement(i, &status);
        if (status != MStatus::kSuccess) {
            std::cerr << "ERROR in translate = translationsBuilder.addElement.\n" << std::endl;
            return MStatus::kFailure;
        }
        // Only the root travels; every other bone keeps its offset from its parent.
        const double* translation = i == 0 ? bone.currentTranslation : bone.restTranslation;
        // Single precision as shown to the user, written in centimetres (internal units).
        double translate[3];
        ShownPrecision::round3(translation, translate);
        translationElement.set3Double(translate[0], translate[1], translate[2]);

        MDataHandle rotationElement = rotationsBuilder.addElement(i, &status);
        if (status != MStatus::kSuccess) {
            std::cerr << "ERROR in rotate = rotationsBuilder.addElement.\n" << std::endl;
            return MStatus::kFailure;
        }
        double angles[3] = {0.0, 0.0, 0.0};
        quaternionToVector(bone.currentRotation, angles);
        // Degrees rounded as the user sees them, then radians, Maya's internal angle unit.
        double rotate[3];
        ShownPrecision::round3(angles, rotate);
        rotationElement.set3Double(rotate[0] * kRadiansPerDegree, rotate[1] * kRadiansPerDegree,
                                   rotate[2] * kRadiansPerDegree);

        if (sampling) {
            const double* q = bone.currentRotation;
            ChunkedSequence<RecordingData>& samples = mRecordedData[i];
            if (samples.full()) {
                samples.addBlock(mSpareBlocks.take(i));
            }
            samples.push_back(RecordingData{{translate[0], translate[1], translate[2]},
                                            {rotate[0], rotate[1], rotate[2]},
                                            sampleTime,
                                            Quat{q[3], q[0], q[1], q[2]}});
        }
    }
    if (sampling) {
        journalSample(sampleTime, bones);
    }

    if (translationsHandle.set(translationsBuilder) != MStatus::kSuccess) {
        std::cerr << "set translationsBuilder failed\n" << std::endl;
        return MStatus::kFailure;
    }
    if (rotationsHandle.set(rotationsBuilder) != MStatus::kSuccess) {
        std::cerr << "set rotationsBuilder failed\n" << std::endl;
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}

void TulvexDeviceNode::notePoseAge(const void* block) {
    std::int64_t arrival = 0;
    std::uint64_t newestPush = 0;
    for (const BlockArrival& slot : mBlockArrivals) {
        if (slot.block.load(std::memory_order_acquire) == block) {
            const std::uint64_t push = slot.push.load(std::memory_order_relaxed);
            if (push > newestPush) {
                newestPush = push;
                arrival = slot.arrival.load(std::memory_order_relaxed);
            }
        }
    }
    if (newestPush == 0 || arrival == 0) {
        return;
    }
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(mClock.load()().time_since_epoch())
            .count();
    mPoseAges.note(now, now - arrival);
}

void TulvexDeviceNode::quaternionToVector(const double* quaternion, double* angles) {
    const MQuaternion rotation(quaternion[0], quaternion[1], quaternion[2], quaternion[3]);
    const MVector radians = rotation.asEulerRotation().asVector();
    angles[0] = degreesOrZero(radians.x);
    angles[1] = degreesOrZero(radians.y);
    angles[2] = degreesOrZero(radians.z);
}

void TulvexDeviceNode::noteSampleTime(double time) {
    // Only forward moves count, so a looping timeline adds each pass it plays.
    if (mTakeHasSample && time > mLastSampleTime) {
        mTakeFrames.store(mTakeFrames.load(std::memory_order_relaxed) + (time - mLastSampleTime),
                          std::memory_order_relaxed);
    }
    mLastSampleTime = time;
    mTakeHasSample = true;
}

bool TulvexDeviceNode::hasRecordedData() const {
    std::lock_guard<std::mutex> lock(mTakeMutex);
    for (const ChunkedSequence<RecordingData>& samples : mRecordedData) {
        if (!samples.empty()) {
            return true;
        }
    }
    return false;
}

std::size_t TulvexDeviceNode::recordedSampleCount(int bone) const {
    std::lock_guard<std::mutex> lock(mTakeMutex);
    return mRecordedData[static_cast<std::size_t>(bone)].size();
}
