#pragma once

#include <maya/MDGModifier.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MObject.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>
#include <netinet/in.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "AddressListCache.h"
#include "CaptureRunGate.h"
#include "CaptureWaker.h"
#include "ChunkedSequence.h"
#include "DatagramBatch.h"
#include "JournalReader.h"
#include "PendingBlock.h"
#include "PoseSmoother.h"
#include "RecentEvents.h"
#include "SpareBlocks.h"
#include "StreamCounters.h"
#include "StreamSocketSlot.h"
#include "TakeJournal.h"
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
    // Degrees to Maya's internal radians: the factor a degree scene's conversion used, so a
    // joint reads the very value it read through that conversion.
    static constexpr double kRadiansPerDegree = 0.017453292519943295;

    // A take: one sequence of samples per bone; grows block by block, so recording never
    // copies it.
    using Take = std::array<ChunkedSequence<RecordingData>, TulvexDataHandler::kNumBones>;

    using SteadyTime = std::chrono::steady_clock::time_point;
    using ClockFunction = SteadyTime (*)();
    // The text of the local-address list as the panel shows it (the heading and the
    // addresses, or the error text when the system cannot list them).
    using AddressListSource = std::string (*)();

    static constexpr int kReceiveBufferSize = 4096;
    // Samples per bone a take has room for before its first growth.
    static constexpr std::size_t kTakeReserve = 1000;
    // The plug-in's command that runs the work nodes leave for Maya's main thread.
    static constexpr const char* kIdleCommand = "TulvexDeviceIdle";
    // What Cached Playback shows while the node is live.
    static constexpr const char* kCacheDisabledReason = "Live motion capture cannot be cached.";
    static constexpr const char* kCacheMitigation = "Turn Live off to cache the baked take.";

    TulvexDeviceNode();
    ~TulvexDeviceNode() override;

    static void* creator();
    static MStatus initialize();

    void postConstructor() override;
    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    // Performers are never connected to each other, so kSerial lets their nodes evaluate
    // side by side; what compute shares between nodes (the idle list) has its own lock.
    SchedulingType schedulingType() const override;
    // Live motion cannot be cached: caching is off while `live` is on, and on otherwise so a
    // baked take plays cached.
    void getCacheSetup(const MEvaluationNode& evalNode, MNodeCacheDisablingInfo& disablingInfo,
                       MNodeCacheSetupInfo& cacheSetupInfo,
                       MObjectArray& monitoredAttributes) const override;
    void threadHandler() override;
    void threadShutdownHandler() override;

    // Receiver.
    MStatus openSocketConnection(int& descriptor, int port);
    void closeSocketConnection(int& descriptor);
    const std::vector<SkeletonNodeInfo>& parseSkeletonData(std::byte* data, unsigned long length);

    // Opens the stream's socket on `port` unless one is open, publishes it to the capture
    // thread and wakes it. Evaluation thread.
    MStatus openStreamSocket(int port);
    // The same on the `inputPort` plug's value. Main thread.
    MStatus openStreamSocket();
    // Closes the stream's socket if one is open. Host side, while the capture thread does
    // not use it (not live, or stopped).
    void closeStreamSocket();
    bool isStreamSocketOpen() const;
    // While true, frames are ignored and a skeleton definition is taken.
    bool isAwaitingSkeletonDefinition() const;
    // A consistent copy of the handler's 27 records, also while the capture thread applies
    // a datagram, with the floor offset on the root's height. `out` must hold 27 records.
    void copySkeletonChannels(SkeletonNodeInfo* out);
    // Capture thread, after a pass: makes ready the blocks a recording take grows into next,
    // one every few passes, once compute wants them.
    void makeTakeBlocksAhead() {
        if (++mPassesSinceSpareBlock >= kPassesPerSpareBlock) {
            mPassesSinceSpareBlock = 0;
            mSpareBlocks.fill();
        }
    }
    // The steady clock the 1000 ms silence rule and the address look-ups read; replaceable so
    // tests can step time. Null puts the system's steady clock back.
    void setClock(ClockFunction clock);
    // Seconds from the last datagram to now, by that clock; negative before the first.
    double secondsSinceLastDatagram() const;

    // Frame-rate mapping.
    void setPluginFpsFromAppFps(int appFps);

    // Work that compute may not do itself (node changes, plug writes, synchronous MEL): a
    // node leaves it here and queues the idle command; the command runs it on Maya's main
    // thread, outside evaluation. Main thread only. The curves of every take baked go
    // through `curves`, so the command can take the bake back and do it again; true when a
    // take was baked.
    static bool runIdleWork(MDGModifier& curves);

    // Output and take recording.
    // While `sampling`, also appends one sample per bone at `sampleTime` to the take.
    MStatus populateDataBlock(MDataBlock& block, const SkeletonNodeInfo* bones,
                              bool sampling = false, double sampleTime = 0.0);
    // Quaternion x, y, z, w to Euler angles X, Y, Z (order XYZ) in degrees; NaN gives 0.
    static void quaternionToVector(const double* quaternion, double* angles);
    bool isRecording();
    bool hasRecordedData() const;
    // Samples recorded for one bone so far (0..26).
    std::size_t recordedSampleCount(int bone) const;
    // Takes handed over for baking and not baked yet.
    std::size_t takesWaitingForBake();

    // Bakes a take again from its journal: `take` is a take number of this node, beside the
    // scene, or the path of a journal's file. Main thread; the error names the file and what
    // is wrong with it.
    MStatus bakeJournal(const std::string& take, std::string& error);

    // Baking, on the main thread: every take compute handed over, oldest first.
    void saveRecordedDataToMaya();
    // Creates the six curves of a bone; each entry of the result says whether its curve
    // was made, so keys go only to curves that exist. `keptTake` as for createAnimCurve.
    std::array<bool, 6> createAnimCurveSet(std::string& baseName, MFnAnimCurve& tx,
                                           MFnAnimCurve& ty, MFnAnimCurve& tz, MFnAnimCurve& rx,
                                           MFnAnimCurve& ry, MFnAnimCurve& rz, int keptTake = 0);
    // An angle curve (radians) when `angular`, else a distance curve (centimetres). A curve
    // of an earlier take with that name is deleted, or with `keptTake` above 0 renamed
    // "<name>_take<keptTake>" and its connections handed to the new curve.
    void createAnimCurve(MFnAnimCurve& curve, const char* name, bool angular, MStatus& status,
                         int keptTake = 0);
    RecordingData interpolate(const RecordingData& from, const RecordingData& to, double t);
    Quat slerp(Quat from, Quat to, double t);
    std::string getSkeletonName();

    // User-interface bridge.
    void enableBindCharacterButton(bool enable);
    void displayUIMessage(const std::string& text);
    void setLiveStatus(bool live);
    // Not-live evaluation: looks the addresses up at most once a second and sends them to the
    // panel when they changed.
    void updateIPTextfield();
    // A panel asked: looks the addresses up and sends them now, changed or not. Main thread.
    MStatus showAddressList();
    // Where the address list comes from; replaceable so tests can change it. Null puts the
    // system's interfaces back.
    void setAddressListSource(AddressListSource source);
    int getInputPortValue();
    int getDeviceId();
    bool hasBeenCharacterized();
    void setHasBeenCharacterized(bool value);
    MStatus CharacterizationComplete();

    const StreamCounters& counters() const { return mCounters; }

    // What the last bake made: curves, keys on each curve, the first and last key time (UI
    // units) and the keys filled in on each curve. Main thread.
    struct BakeSummary {
        int curves = 0;
        unsigned int keysPerCurve = 0;
        unsigned int filledPerCurve = 0;
        double firstTime = 0.0;
        double lastTime = 0.0;
    };
    // Where the stream stands, names and values taking turns, as the status command reports
    // them: "state" (notLive, waitingForPhone, waitingForDefinition, waitingForBinding,
    // streaming, silent), "live", "port", "detectedRate", "recording" and "takeSeconds" (the
    // take being recorded), the counters by name, "secondsSinceLastDatagram" (negative before
    // the first), "sender" (address:port, empty before the first), and what the last bake
    // made ("bakedCurves", "bakedKeysPerCurve", "bakedFilledPerCurve", "bakedFirstTime",
    // "bakedLastTime"; zeros before the first). Main thread.
    std::vector<std::pair<std::string, std::string>> deviceStatus();

    static MTypeId id;
    static MObject mOutputTranslate;
    static MObject mOutputTranslations;
    static MObject mOutputRotations;
    static MObject mInputRecording;
    static MObject mDeviceId;
    static MObject mInputPort;
    static MObject mTime;
    // Live pose smoothing: off by default; the shown pose is the recorded pose.
    static MObject mSmoothing;
    static MObject mSmoothingMinCutoff;  // Hz
    static MObject mSmoothingBeta;
    // Baking: each rotation key the equivalent triple nearest the one before. Off by default.
    static MObject mContinuousRotations;
    // Added to the root's height in everything shown, recorded and baked (cm); 0 by default.
    static MObject mFloorOffset;
    static MObject mKeepTakes;

private:
    // The capture thread's receive buffer and what it knows of the datagram in it.
    struct ReceiveState {
        // Zero-filled once; bytes past each datagram are cleared before it is decoded, so the
        // decoder, which is handed the whole buffer, never sees an earlier datagram's bytes.
        std::byte buffer[kReceiveBufferSize] = {};
        std::size_t previousLength = 0;
        sockaddr_in sender{};
        DatagramBatch batch;  // what the last read brought, handed on one at a time
    };
    enum class DrainResult { Emptied, BudgetSpent, Stopped, Failed };
    enum class DatagramEffect { None, Changed };

    int readIntAttribute(const MObject& attribute);
    // Capture thread: one pass reads every waiting datagram, applies each in arrival order,
    // then pushes one block with the newest state.
    void receiveLoop(unsigned run);
    DrainResult drainSocket(int descriptor, unsigned run, ReceiveState& receive,
                            PendingBlock& pending);
    // The silence rule, the counters and the datagram's effect; true when it changed the
    // records a block carries.
    bool handleDatagram(ReceiveState& receive);
    DatagramEffect applyDatagram(std::byte* data, unsigned long length);
    void pushNewestState(PendingBlock& pending);
    void noteArrival(SteadyTime now, const sockaddr_in& sender);
    // The take journal (TulvexDeviceNodeJournal.cpp): made in postConstructor; told the
    // folder and settings as playback starts (main thread); handed each datagram (capture)
    // and each sample just recorded, under mTakeMutex (evaluation).
    void startJournal();
    void prepareJournal();
    void journalDatagram(const ReceiveState& receive, SteadyTime arrival);
    void journalSample(double sampleTime, const SkeletonNodeInfo* shown);
    // Decodes a journaled take's samples again when the node's smoothing or floor offset
    // differ from those it was recorded with; main thread.
    MStatus replayWithOptions(const std::string& path, JournalReader::Contents& contents,
                              std::string& error);
    void sendAddressList(bool asked);
    // The system's interfaces, as the panel lists them.
    static std::string systemAddressList();
    // Its heading and error texts, looked up on the main thread as nodes are made, since
    // compute lists the addresses on an evaluation thread.
    static void prepareAddressListTexts();
    // compute's body; compute keeps its exceptions from Maya.
    MStatus computeOutputs(const MPlug& plug, MDataBlock& block);
    MStatus computeLive(MDataBlock& block, bool sampling, double sampleTime);
    MStatus computeNotLive(MDataBlock& block, bool sampling, double sampleTime);
    // An evaluation at another time than the current one (getAttr -time, a background cache
    // fill): the take's sample at that time, or the last pose shown; no block is taken and
    // nothing is recorded.
    MStatus computeInContext(MDataBlock& block);
    // The pose a normal evaluation last showed, for evaluations in other contexts.
    void keepShownPose(const SkeletonNodeInfo* bones);
    // Playback started or stopped ("playingBack"); a stopped take goes to the bake from here,
    // whether or not anything evaluates the node afterwards. Main thread.
    static void playingBackChanged(bool playing, void* clientData);
    // Hands the take to the bake when playback is stopped and recording or live is off.
    // Main thread.
    void handOverStoppedTake();
    // Marks every output clean, whichever plug was asked for: one evaluation consumes one
    // block and takes one sample per bone, however many plugs Maya then asks for.
    void cleanOutputs(MDataBlock& block);
    // The keys one bone got, as a bake summary counts them.
    struct BoneKeys {
        unsigned int keys = 0;
        unsigned int filled = 0;
        double firstTime = 0.0;
        double lastTime = 0.0;
    };
    bool runOwnIdleWork(MDGModifier& curves);
    void bakeTake(Take& take);
    BoneKeys bakeBone(const char* boneName, ChunkedSequence<RecordingData>& samples,
                      const std::string& skeletonName, MFnAnimCurve* curves, int& curvesMade,
                      int keptTake);
    // The number the curves a bake replaces are kept under: 0 (deleted) with keepTakes off.
    int keptTakeNumber(const std::string& skeletonName, const SkeletonNodeInfo* bones);
    // Each key of a bone's take in sample order: the keys that fill the gap before a sample,
    // then the sample; `emit(values, filled)` gets each, its key time in `values`.
    template <typename Emit>
    void forEachKey(const ChunkedSequence<RecordingData>& samples, double maxGap, const Emit& emit);
    BoneKeys keyInOrder(const ChunkedSequence<RecordingData>& samples, MFnAnimCurve* curves,
                        const std::array<bool, 6>& made, double maxGap);
    BoneKeys keyAcrossJumps(const ChunkedSequence<RecordingData>& samples, MFnAnimCurve* curves,
                            const std::array<bool, 6>& made, double maxGap);
    // Notes one sample time of the take being recorded, for its length. Evaluation thread.
    void noteSampleTime(double time);

    // Idle work. Compute side: hand a finished take over, ask for a frameRate or for live to
    // go off. Main thread: do what was asked.
    void handOverTake();
    void requestFrameRate(int appFps);
    void requestLiveOff();
    void queueIdleWork();
    // Keeps the capture thread's device id current, and ends a stopped take when recording
    // or live goes off. Main thread.
    // Compute: how old the pose in `block` is, noted for the status line.
    void notePoseAge(const void* block);
    // Capture thread, channels locked: the frame just applied, smoothed when asked for.
    void smoothPose();
    // Main thread: the smoothing attributes into the capture thread's copies.
    void readSmoothingSettings();
    static void deviceIdChanged(MNodeMessage::AttributeMessage message, MPlug& plug,
                                MPlug& otherPlug, void* clientData);
    // A deleted node lives on in the undo queue: its port is freed as it leaves the graph.
    static void leavingGraph(MObject& node, void* clientData);

    TulvexDataHandler mDataHandler;  // written by the capture thread under mChannelsMutex
    // The take being recorded: compute (a worker thread) adds samples, the main thread's
    // playback callback and compute hand it over. Guards mRecordedData, mLastSampleTime and
    // mTakeHasSample.
    mutable std::mutex mTakeMutex;
    Take mRecordedData;  // under mTakeMutex
    // Blocks the take grows into, made ahead by the capture thread; compute takes them
    // under mTakeMutex.
    SpareBlocks<RecordingData, ChunkedSequence<RecordingData>::kBlockSize,
                TulvexDataHandler::kNumBones>
        mSpareBlocks;
    static constexpr int kPassesPerSpareBlock = 4;
    int mPassesSinceSpareBlock = 0;  // capture thread only
    // Whether playback runs: the main thread's "playingBack" callback writes, compute reads.
    std::atomic<bool> mPlaying{false};
    MCallbackId mPlayingCallback = 0;  // main thread only
    // The pose the last normal evaluation showed; compute writes, evaluations in other
    // contexts (possibly on another thread at the same time) read.
    std::mutex mShownPoseMutex;  // guards mShownPose
    std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> mShownPose{};
    // Texts compute shows, looked up on the main thread when the node is made, since string
    // resources may not be read on an evaluation thread. Read-only afterwards.
    std::string mPortInUseText;
    std::string mAwaitingText;
    std::string mClosingSocketText;
    std::string mInitSocketText;
    std::string mSocketErrorText;
    std::string mBindErrorText;
    std::string mUnexpectedErrorText;
    std::atomic<bool> mAwaitingSkeletonDefinition;  // capture thread writes, compute reads
    std::mutex mCharacterizedMutex;                 // guards mHasBeenCharacterized alone
    bool mHasBeenCharacterized;                     // under mCharacterizedMutex
    std::string mSkeletonNameTemplate;              // host side only
    // The idle command's record of the curves this node's bake makes and replaces, while it
    // bakes; null otherwise. Main thread only.
    MDGModifier* mCurveChanges = nullptr;
    // The bone being keyed: its last rotation key, when continuousRotations keeps keys
    // continuous. Main thread only, during a bake.
    struct RotationTrack {
        bool on = false;
        bool keyed = false;
        double previous[3] = {0.0, 0.0, 0.0};  // degrees
    };
    RotationTrack mRotationTrack;
    // The stream's socket: the host side opens and closes it, capture runs borrow it to read.
    StreamSocketSlot mStreamSocket;
    int mCurrentAppFps;                     // host side only
    std::map<int, int> mAppFpsToPluginFps;  // host side only
    SteadyTime mLastPacketTime;             // the capture run borrowing the socket
    double mPacketGapThresholdMs;           // capture threads, read-only

    // Held by the capture thread while it changes or copies the handler's records, and by
    // the host side for a consistent copy; never held while calling the host or the UI.
    std::mutex mChannelsMutex;
    CaptureWaker mWaker;                // wake() from any thread, waits on the capture thread
    std::atomic<ClockFunction> mClock;  // set by tests before streaming, read by the capture thread
    StreamCounters mCounters;  // capture thread and compute count, any thread reads; atomics
    // For the status line: when each frame was decoded (the capture thread notes), and how
    // old each pose compute showed was (compute notes); the status command reads them.
    RecentEvents mFrameTimes;
    RecentEvents mPoseAges;
    // Which datagram's arrival each pushed block carries: the capture thread writes a slot
    // per push, compute looks its block up. The newest slot of a pool buffer counts.
    struct BlockArrival {
        std::atomic<const void*> block{nullptr};
        std::atomic<std::int64_t> arrival{0};
        std::atomic<std::uint64_t> push{0};
    };
    static constexpr std::size_t kBlockArrivals = 16;
    BlockArrival mBlockArrivals[kBlockArrivals];
    std::uint64_t mPushes = 0;  // capture thread only
    // When the port was last opened, in the clock's nanoseconds; host side writes, any reads.
    std::atomic<std::int64_t> mSocketOpenedNanoseconds{0};
    // Length of the take being recorded: UI frames played forward between its samples.
    // Evaluation thread writes, the main thread reads.
    std::atomic<double> mTakeFrames{0.0};
    double mLastSampleTime = 0.0;  // under mTakeMutex
    bool mTakeHasSample = false;   // under mTakeMutex
    BakeSummary mLastBake;         // main thread only

    // The address list of the panel: compute (evaluation thread) refreshes it when not live,
    // the show-addresses command (main thread) on request.
    std::mutex mAddressMutex;                       // guards mAddressCache
    AddressListCache mAddressCache;                 // under mAddressMutex
    std::atomic<AddressListSource> mAddressSource;  // set by tests before evaluating; any thread

    // What the capture thread needs of the node, copied for it on the main thread: the
    // device id (kept current by an attribute-changed callback) and the one message text it
    // shows (looked up when the node is made, published with the socket).
    std::atomic<int> mDeviceIdForThread;  // main thread writes, any thread reads
    // The smoothing attributes and the floor offset, for the capture thread and compute: the
    // main thread writes them.
    static constexpr double kLowestSmoothingCutoff = 0.01;  // Hz
    std::atomic<bool> mSmoothingForThread{false};
    std::atomic<double> mFloorOffsetForThread{0.0};
    std::atomic<double> mSmoothingMinCutoffForThread{PoseSmoother::Settings{}.minCutoff};
    std::atomic<double> mSmoothingBetaForThread{PoseSmoother::Settings{}.beta};
    PoseSmoother mSmoother;         // capture thread only
    bool mSmootherRunning = false;  // capture thread only: it smoothed the last frame
    MCallbackId mDeviceIdCallback;  // main thread only
    MCallbackId mRemovalCallback;   // main thread only
    // Which capture run may go on, and the host's done flag set and cleared under it.
    CaptureRunGate mRuns;
    std::string mSkelDefReceivedText;  // written in postConstructor, then read-only

    // Work left for the main thread; compute (evaluation) adds, the idle command takes.
    std::mutex mIdleMutex;                           // guards the three members below
    std::deque<std::unique_ptr<Take>> mTakesToBake;  // oldest first
    int mRequestedAppFps;                            // 0 = no frameRate to write
    bool mLiveOffRequested;
    // Set by compute when the socket could not be opened, cleared once live is off: until
    // then compute does not try again.
    std::atomic<bool> mLiveOffPending;

    // Nodes with idle work. Compute (evaluation) adds, the idle command takes; nodes remove
    // themselves when destroyed on the main thread.
    static std::mutex sIdleMutex;  // guards sIdleNodes
    static std::vector<TulvexDeviceNode*> sIdleNodes;

    // Made on the main thread in postConstructor, then used by every thread as its own
    // header says. Last, so its writer stops before any member its warnings read goes.
    std::unique_ptr<TakeJournal> mJournal;
};
