#include "TulvexDeviceNode.h"

#include <maya/MAnimControl.h>
#include <maya/MConditionMessage.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "EntryPointGuard.h"
#include "TulvexMessages.h"

MTypeId TulvexDeviceNode::id(0x81051);
MObject TulvexDeviceNode::mOutputTranslate;
MObject TulvexDeviceNode::mOutputTranslations;
MObject TulvexDeviceNode::mOutputRotations;
MObject TulvexDeviceNode::mInputRecording;
MObject TulvexDeviceNode::mDeviceId;
MObject TulvexDeviceNode::mInputPort;
MObject TulvexDeviceNode::mTime;
MObject TulvexDeviceNode::mSmoothing;
MObject TulvexDeviceNode::mSmoothingMinCutoff;
MObject TulvexDeviceNode::mSmoothingBeta;
MObject TulvexDeviceNode::mContinuousRotations;
MObject TulvexDeviceNode::mFloorOffset;
MObject TulvexDeviceNode::mKeepTakes;

namespace {

TulvexDeviceNode::SteadyTime steadyNow() {
    return std::chrono::steady_clock::now();
}

enum AttributeFlag : unsigned {
    kWritable = 1U << 0U,
    kHidden = 1U << 1U,
    kArray = 1U << 2U,
};

struct AttributeRow {
    MObject* handle;
    const char* longName;
    const char* shortName;
    MFnNumericData::Type type;
    double defaultValue;
    unsigned flags;
    const char* createMessage;
};

struct UnitRow {
    MObject* handle;
    const char* longName;
    const char* shortName;
    MFnUnitAttribute::Type unit;
    unsigned flags;
    const char* createMessage;
};

// A double3 of three unit children, named as the float3's children were ("ots0") so that
// scenes saved before keep their plug names.
MObject unitCompound(const UnitRow& row, MFnNumericAttribute& numeric, MStatus& status) {
    static constexpr const char* kSuffixes[3] = {"0", "1", "2"};
    MFnUnitAttribute unit;
    MObject children[3];
    for (int c = 0; c < 3; ++c) {
        MString longName(row.longName);
        MString shortName(row.shortName);
        longName += kSuffixes[c];
        shortName += kSuffixes[c];
        children[c] = unit.create(longName, shortName, row.unit, 0.0, &status);
        if (status != MStatus::kSuccess) {
            return MObject();
        }
    }
    return numeric.create(row.longName, row.shortName, children[0], children[1], children[2],
                          &status);
}

struct Dependency {
    const MObject* input;
    const MObject* output;
    const char* message;
};

}  // namespace

void* TulvexDeviceNode::creator() {
    return new TulvexDeviceNode();
}

MStatus TulvexDeviceNode::initialize() {
    MStatus status;
    MFnNumericAttribute numeric;
    // A lambda, so it may call the protected addAttribute.
    const auto finishAttribute = [&numeric](const MObject& attribute, unsigned flags) {
        if ((flags & kWritable) != 0U) {
            numeric.setWritable(true);
        }
        if ((flags & kHidden) != 0U) {
            numeric.setHidden(true);
        }
        if ((flags & kArray) != 0U) {
            numeric.setArray(true);
            numeric.setUsesArrayDataBuilder(true);
        }
        if (addAttribute(attribute) != MStatus::kSuccess) {
            std::cerr << "addAttribute: ATTR" << std::endl;
            return false;
        }
        return true;
    };

    const AttributeRow attributes[] = {
        {&mInputPort, "inputPort", "prt", MFnNumericData::kInt, 12351, kWritable,
         "create input Port"},
        {&mTime, "time", "tm", MFnNumericData::kDouble, 0, kWritable | kHidden, "create time"},
        {&mInputRecording, "recording", "rcd", MFnNumericData::kBoolean, 0, kWritable,
         "create recording"},
        {&mDeviceId, "deviceId", "did", MFnNumericData::kInt, 0, kWritable | kHidden,
         "create device Id"},
        {&mSmoothing, "smoothing", "smo", MFnNumericData::kBoolean, 0, kWritable,
         "create smoothing"},
        {&mSmoothingMinCutoff, "smoothingMinCutoff", "smc", MFnNumericData::kDouble,
         PoseSmoother::Settings{}.minCutoff, kWritable, "create smoothingMinCutoff"},
        {&mSmoothingBeta, "smoothingBeta", "smb", MFnNumericData::kDouble,
         PoseSmoother::Settings{}.beta, kWritable, "create smoothingBeta"},
        {&mContinuousRotations, "continuousRotations", "cro", MFnNumericData::kBoolean, 0,
         kWritable, "create continuousRotations"},
        {&mFloorOffset, "floorOffset", "flo", MFnNumericData::kDouble, 0, kWritable,
         "create floorOffset"},
        // Numeric attributes are saved and not keyable unless told otherwise, as this one
        // must be: a per-node choice, not animation.
        {&mKeepTakes, "keepTakes", "kpt", MFnNumericData::kBoolean, 0, kWritable,
         "create keepTakes"},
    };
    for (const AttributeRow& row : attributes) {
        *row.handle =
            numeric.create(row.longName, row.shortName, row.type, row.defaultValue, &status);
        if (status != MStatus::kSuccess || !finishAttribute(*row.handle, row.flags)) {
            std::cerr << row.createMessage << std::endl;
            return MStatus::kFailure;
        }
    }
    // Outputs carry their units, so a joint takes them as they are in every scene unit and
    // Maya puts no conversion between.
    const UnitRow outputs[] = {
        {&mOutputTranslate, "outputTranslate", "ot", MFnUnitAttribute::kDistance, kHidden,
         "create outputTranslate"},
        {&mOutputTranslations, "outputTranslations", "ots", MFnUnitAttribute::kDistance, kArray,
         "create outputTranslations"},
        {&mOutputRotations, "outputRotations", "ors", MFnUnitAttribute::kAngle, kArray,
         "create outputRotations"},
    };
    for (const UnitRow& row : outputs) {
        *row.handle = unitCompound(row, numeric, status);
        if (status != MStatus::kSuccess || !finishAttribute(*row.handle, row.flags)) {
            std::cerr << row.createMessage << std::endl;
            return MStatus::kFailure;
        }
    }

    const Dependency dependencies[] = {
        {&live, &mOutputTranslate, "attributeAffects:live->mOutputTranslate"},
        {&frameRate, &mOutputTranslate, "attributeAffects:frameRate->mOutputTranslate"},
        {&mTime, &mOutputTranslate, "attributeAffects:mTime->mOutputTranslate"},
        {&live, &mOutputTranslations, "attributeAffects:live->mOutputTranslations"},
        {&frameRate, &mOutputTranslations, "attributeAffects:frameRate->mOutputTranslations"},
        {&mTime, &mOutputTranslations, "attributeAffects:mTime->mOutputTranslations"},
        {&mFloorOffset, &mOutputTranslate, "attributeAffects:mFloorOffset->mOutputTranslate"},
        {&mFloorOffset, &mOutputTranslations, "attributeAffects:mFloorOffset->mOutputTranslations"},
        {&live, &mOutputRotations, "attributeAffects:live->mOutputRotations"},
        {&frameRate, &mOutputRotations, "attributeAffects:frameRate->mOutputRotations"},
        {&mTime, &mOutputRotations, "attributeAffects:mTime->mOutputRotations"},
        {&mOutputTranslate, &mOutputTranslations,
         "attributeAffects:mOutputTranslate->mOutputTranslations"},
        {&mOutputTranslate, &mOutputRotations,
         "attributeAffects:mOutputTranslate->mOutputRotations"},
    };
    for (const Dependency& dependency : dependencies) {
        if (attributeAffects(*dependency.input, *dependency.output) != MStatus::kSuccess) {
            std::cerr << dependency.message << std::endl;
            return MStatus::kFailure;
        }
    }
    return MStatus::kSuccess;
}

TulvexDeviceNode::TulvexDeviceNode()
    : mAwaitingSkeletonDefinition(true),
      mHasBeenCharacterized(false),
      mSkeletonNameTemplate("tulvexCharacter{index}_Skeleton"),
      mCurrentAppFps(0),
      mAppFpsToPluginFps{{30, 60}, {50, 80}, {60, 90}},
      mPacketGapThresholdMs(1000.0),
      mClock(&steadyNow),
      mAddressSource(&systemAddressList),
      mDeviceIdForThread(0),
      mDeviceIdCallback(0),
      mRemovalCallback(0),
      mRequestedAppFps(0),
      mLiveOffRequested(false),
      mLiveOffPending(false) {
    for (int bone = 0; bone < mDataHandler.GetNumBones(); ++bone) {
        mRecordedData[static_cast<std::size_t>(bone)].reserve(kTakeReserve);
    }
}

TulvexDeviceNode::~TulvexDeviceNode() {
    // The host has stopped the capture thread before destroying the node.
    for (MCallbackId callback : {mDeviceIdCallback, mRemovalCallback, mPlayingCallback}) {
        if (callback != 0) {
            MMessage::removeCallback(callback);
        }
    }
    {
        std::lock_guard<std::mutex> lock(sIdleMutex);
        sIdleNodes.erase(std::remove(sIdleNodes.begin(), sIdleNodes.end(), this), sIdleNodes.end());
    }
    closeStreamSocket();
    destroyMemoryPools();
}

void TulvexDeviceNode::postConstructor() {
    MObjectArray refreshAttributes;
    refreshAttributes.append(mOutputTranslate);
    setRefreshOutputAttributes(refreshAttributes);

    mCurrentAppFps = 50;
    setPluginFpsFromAppFps(50);

    createMemoryPools(3, TulvexDataHandler::kNumBones, sizeof(SkeletonNodeInfo));
    startJournal();

    // The capture thread may not read plugs or look texts up itself.
    mSkelDefReceivedText = TulvexMessages::lookup(TulvexMessages::kSkelDefReceived).asChar();
    // Nor may compute, which runs on an evaluation thread.
    mPortInUseText = TulvexMessages::lookup(TulvexMessages::kPortInUseError).asChar();
    mAwaitingText = TulvexMessages::lookup(TulvexMessages::kAwaitingSkelDef).asChar();
    mClosingSocketText = TulvexMessages::lookup(TulvexMessages::kClosingSocket).asChar();
    mInitSocketText = TulvexMessages::lookup(TulvexMessages::kInitSocket).asChar();
    mSocketErrorText = TulvexMessages::lookup(TulvexMessages::kSocketFunctionErrorApple).asChar();
    mBindErrorText = TulvexMessages::lookup(TulvexMessages::kBindSocketErrorApple).asChar();
    mUnexpectedErrorText = TulvexMessages::lookup(TulvexMessages::kUnexpectedError).asChar();
    prepareAddressListTexts();
    mPlaying.store(MAnimControl::isPlaying());
    mPlayingCallback =
        MConditionMessage::addConditionCallback("playingBack", &playingBackChanged, this);
    mDeviceIdForThread.store(getDeviceId());
    readSmoothingSettings();
    MObject self = thisMObject();
    mDeviceIdCallback = MNodeMessage::addAttributeChangedCallback(self, &deviceIdChanged, this);
    mRemovalCallback = MNodeMessage::addNodePreRemovalCallback(self, &leavingGraph, this);
}

void TulvexDeviceNode::playingBackChanged(bool playing, void* clientData) {
    auto* self = static_cast<TulvexDeviceNode*>(clientData);
    if (playing) {
        // Before compute may take the take's first sample; a journal that fails to prepare
        // leaves playback and recording to go on.
        EntryPointGuard::onMainThread("playingBack", [self] {
            self->prepareJournal();
            return MStatus::kSuccess;
        });
    }
    self->mPlaying.store(playing);
    EntryPointGuard::onMainThread("playingBack", [self] {
        self->handOverStoppedTake();
        return MStatus::kSuccess;
    });
}

void TulvexDeviceNode::handOverStoppedTake() {
    // The same rule as compute's, so a take ends even when nothing evaluates the node.
    if (!mPlaying.load() && hasRecordedData() && (!isRecording() || !isLive())) {
        handOverTake();
    }
}

MPxNode::SchedulingType TulvexDeviceNode::schedulingType() const {
    return kSerial;
}

void TulvexDeviceNode::getCacheSetup(const MEvaluationNode& evalNode,
                                     MNodeCacheDisablingInfo& disablingInfo,
                                     MNodeCacheSetupInfo& cacheSetupInfo,
                                     MObjectArray& monitoredAttributes) const {
    MPxThreadedDeviceNode::getCacheSetup(evalNode, disablingInfo, cacheSetupInfo,
                                         monitoredAttributes);
    monitoredAttributes.append(live);
    if (MPlug(thisMObject(), live).asBool()) {
        disablingInfo.setCacheDisabled(true);
        disablingInfo.setReason(kCacheDisabledReason);
        disablingInfo.setMitigation(kCacheMitigation);
    }
}

void TulvexDeviceNode::leavingGraph(MObject& /*node*/, void* clientData) {
    // A capture run reading the socket hands it back first.
    EntryPointGuard::onMainThread("TulvexDeviceNode removal", [clientData] {
        static_cast<TulvexDeviceNode*>(clientData)->closeStreamSocket();
        return MStatus::kSuccess;
    });
}

void TulvexDeviceNode::deviceIdChanged(MNodeMessage::AttributeMessage message, MPlug& plug,
                                       MPlug& /*otherPlug*/, void* clientData) {
    if ((message & MNodeMessage::kAttributeSet) == 0) {
        return;
    }
    auto* self = static_cast<TulvexDeviceNode*>(clientData);
    EntryPointGuard::onMainThread("TulvexDeviceNode attribute change", [self, &plug] {
        if (plug == mDeviceId) {
            self->mDeviceIdForThread.store(plug.asInt());
        } else if (plug == mSmoothing || plug == mSmoothingMinCutoff || plug == mSmoothingBeta ||
                   plug == mFloorOffset) {
            self->readSmoothingSettings();
        } else if (plug == mInputRecording || plug == live) {
            if (plug == mInputRecording && plug.asBool()) {
                // Armed before playback, the journal holds the datagram the take's first
                // sample shows, which usually arrives before playback starts.
                self->prepareJournal();
            }
            self->handOverStoppedTake();
        }
        return MStatus::kSuccess;
    });
}

void TulvexDeviceNode::readSmoothingSettings() {
    const MObject self = thisMObject();
    // A cutoff of zero would freeze the pose, a negative beta lower the cutoff with speed.
    mSmoothingMinCutoffForThread.store(
        std::max(MPlug(self, mSmoothingMinCutoff).asDouble(), kLowestSmoothingCutoff));
    mSmoothingBetaForThread.store(std::max(MPlug(self, mSmoothingBeta).asDouble(), 0.0));
    mSmoothingForThread.store(MPlug(self, mSmoothing).asBool());
    mFloorOffsetForThread.store(MPlug(self, mFloorOffset).asDouble());
}

void TulvexDeviceNode::setPluginFpsFromAppFps(int appFps) {
    const auto mapped = mAppFpsToPluginFps.find(appFps);
    if (mapped == mAppFpsToPluginFps.end()) {
        return;  // a rate outside the table leaves frameRate as it is
    }
    MPlug plug(thisMObject(), frameRate);
    plug.setValue(mapped->second);
}

void TulvexDeviceNode::setClock(ClockFunction clock) {
    mClock.store(clock != nullptr ? clock : &steadyNow);
}

double TulvexDeviceNode::secondsSinceLastDatagram() const {
    const std::int64_t last = mCounters.lastArrivalNanoseconds.load(std::memory_order_relaxed);
    if (last == 0) {
        return -1.0;
    }
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(mClock.load()().time_since_epoch())
            .count();
    return static_cast<double>(now - last) / 1e9;
}
