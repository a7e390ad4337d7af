#pragma once

#include <maya/MObject.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "CaptureWaker.h"
#include "ChunkedSequence.h"
#include "TulvexDataHandler.h"

// One capture stream: a UDP port, the capture thread the host runs for it, the decoder state,
// the take being recorded, and 27 translations and rotations as array outputs.
//
// Threads: the host side (creation, postConstructor, destruction, compute on the evaluation
// thread, commands on the main thread) and the node's capture thread (threadHandler).
class TulvexDeviceNode : public MPxThreadedDeviceNode {
public:
    struct Quat {
        double w;
        double x;
        double y;
        double z;
    };

    // One sample of one bone of a recorded take.
    struct RecordingData {
        double translation[3];  // as written to the output, widened from float
        double rotation[3];     // Euler XYZ in degrees, as written to the output
        double sampleTime;      // the `time` attribute, in the scene's UI time unit
        Quat quaternion;        // the same rotation at full precision
    };

    using SteadyTime = std::chrono::steady_clock::time_point;
    using ClockFunction = SteadyTime (*)();

    static constexpr int kReceiveBufferSize = 4096;

    TulvexDeviceNode();
    ~TulvexDeviceNode() override;

    static void* creator();
    static MStatus initialize();

    void postConstructor() override;
    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    void threadHandler() override;
    void threadShutdownHandler() override;

    // Receiver.
    MStatus openSocketConnection(int& descriptor, int port);
    void closeSocketConnection(int& descriptor);
    const std::vector<SkeletonNodeInfo>& parseSkeletonData(std::byte* data, unsigned long length);
    // Opens the stream's socket on the `inputPort` value unless one is open, publishes it to
    // the capture thread and wakes it. Evaluation thread.
    MStatus openStreamSocket();
    // Closes the stream's socket if one is open. Host side, while the capture thread does
    // not use it (not live, or stopped).
    void closeStreamSocket();
    bool isStreamSocketOpen() const;
    // While true, frames are ignored and a skeleton definition is taken.
    bool isAwaitingSkeletonDefinition() const;
    // A consistent copy of the handler's 27 records, also while the capture thread applies
    // a datagram. `out` must hold 27 records.
    void copySkeletonChannels(SkeletonNodeInfo* out);
    // The steady clock the 1000 ms silence rule reads; replaceable so tests can step time.
    // Null puts the system's steady clock back.
    void setClock(ClockFunction clock);

    // Frame-rate mapping.
    void setPluginFpsFromAppFps(int appFps);

    // Output and take recording.
    MStatus populateDataBlock(MDataBlock& block, const SkeletonNodeInfo* bones);
    // Quaternion x, y, z, w to Euler angles X, Y, Z (order XYZ) in degrees; NaN gives 0.
    static void quaternionToVector(const double* quaternion, double* angles);
    bool isRecording();
    bool hasRecordedData() const;
    // Samples recorded for one bone so far (0..26).
    std::size_t recordedSampleCount(int bone) const;

    // Baking.
    void saveRecordedDataToMaya();
    void createAnimCurveSet(std::string& baseName, MFnAnimCurve& tx, MFnAnimCurve& ty,
                            MFnAnimCurve& tz, MFnAnimCurve& rx, MFnAnimCurve& ry, MFnAnimCurve& rz);
    void createAnimCurve(MFnAnimCurve& curve, const char* name, MStatus& status);
    RecordingData interpolate(const RecordingData& from, const RecordingData& to, double t);
    Quat slerp(Quat from, Quat to, double t);
    std::string getSkeletonName();

    // User-interface bridge.
    void enableBindCharacterButton(bool enable);
    void displayUIMessage(const std::string& text);
    void setLiveStatus(bool live);
    void updateIPTextfield();
    int getInputPortValue();
    int getDeviceId();
    bool hasBeenCharacterized();
    void setHasBeenCharacterized(bool value);
    MStatus CharacterizationComplete();

    static MTypeId id;
    static MObject mOutputTranslate;
    static MObject mOutputTranslations;
    static MObject mOutputRotations;
    static MObject mInputRecording;
    static MObject mDeviceId;
    static MObject mInputPort;
    static MObject mTime;

private:
    int readIntAttribute(const MObject& attribute);
    void receiveLoop();
    MStatus computeLive(const MPlug& plug, MDataBlock& block);
    MStatus computeNotLive(const MPlug& plug, MDataBlock& block);
    void bakeBone(const char* boneName, ChunkedSequence<RecordingData>& samples,
                  const std::string& skeletonName, MFnAnimCurve* curves);

    TulvexDataHandler mDataHandler;  // written by the capture thread under mChannelsMutex
    // The take, one sequence per bone; grows block by block, so recording never copies it.
    std::array<ChunkedSequence<RecordingData>, TulvexDataHandler::kNumBones>
        mRecordedData;                              // evaluation thread only
    std::atomic<bool> mAwaitingSkeletonDefinition;  // capture thread writes, compute reads
    std::mutex mCharacterizedMutex;                 // guards mHasBeenCharacterized alone
    bool mHasBeenCharacterized;                     // under mCharacterizedMutex
    std::string mSkeletonNameTemplate;              // host side only
    std::atomic<int> mSocket;  // host side opens and closes, capture thread reads; 0 = none
    int mCurrentAppFps;        // host side only
    std::map<int, int> mAppFpsToPluginFps;  // host side only
    SteadyTime mLastPacketTime;             // capture thread only
    double mPacketGapThresholdMs;           // capture thread only

    // Held by the capture thread while it changes or copies the handler's records, and by
    // the host side for a consistent copy; never held while calling the host or the UI.
    std::mutex mChannelsMutex;
    CaptureWaker mWaker;                // wake() from any thread, waits on the capture thread
    std::atomic<ClockFunction> mClock;  // set by tests before streaming, read by the capture thread
};
