// Baking a take into animation curves: six curves per bone, one key per sample, and keys
// filled at whole time units across gaps.
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "EulerContinuity.h"
#include "KeptTakeNames.h"
#include "TakeInterpolation.h"
#include "TulvexDeviceNode.h"
#include "TulvexMessages.h"
#include "UiCommandText.h"

namespace {

constexpr int kCurvesPerBone = 6;
constexpr const char* kCurveSuffixes[kCurvesPerBone] = {"_tx", "_ty", "_tz", "_rx", "_ry", "_rz"};
// Rotations are angle curves, as Maya keys a joint's rotation, so none needs a conversion.
constexpr bool kAngular[kCurvesPerBone] = {false, false, false, true, true, true};
constexpr double kNoKey = -1.0;
// Gaps up to this long are filled: far more than any dropout, far less than a time jump.
constexpr double kMaxFilledGapSeconds = 10.0;

// Keys only the curves that were made: a failed creation leaves the function set wherever
// it was, possibly on another bone's curve.
template <typename Track>
void addKeys(MFnAnimCurve* curves, const std::array<bool, kCurvesPerBone>& made, double time,
             const TulvexDeviceNode::RecordingData& values, Track& track) {
    double rotation[3] = {values.rotation[0], values.rotation[1], values.rotation[2]};
    if (track.on) {
        if (track.keyed) {
            EulerContinuity::closest(track.previous, values.rotation, rotation);
        }
        std::copy(rotation, rotation + 3, track.previous);
        track.keyed = true;
    }
    // Key values are internal units: centimetres, and radians from the take's degrees.
    constexpr double toRadians = TulvexDeviceNode::kRadiansPerDegree;
    const double keyed[kCurvesPerBone] = {values.translation[0],   values.translation[1],
                                          values.translation[2],   rotation[0] * toRadians,
                                          rotation[1] * toRadians, rotation[2] * toRadians};
    for (int c = 0; c < kCurvesPerBone; ++c) {
        if (made[static_cast<std::size_t>(c)]) {
            curves[c].addKeyframe(MTime(time, MTime::uiUnit()), keyed[c]);
        }
    }
}

// Empties every sequence of the take when the bake ends, however it ends, so no sample is
// ever baked twice or left behind.
template <typename Take>
class TakeEmptier {
public:
    explicit TakeEmptier(Take& take) : mTake(take) {}
    ~TakeEmptier() {
        for (auto& samples : mTake) {
            samples.clear();
        }
    }
    TakeEmptier(const TakeEmptier&) = delete;
    TakeEmptier& operator=(const TakeEmptier&) = delete;

private:
    Take& mTake;
};

MObject nodeNamed(const std::string& name) {
    MSelectionList found;
    found.add(MString(name.c_str()), false);
    MObject node;
    found.getDependNode(0, node);
    return node;
}

// A plug another node has, by the name listConnections gives it; null when it has none.
MPlug plugNamed(const std::string& name) {
    KeptTakeNames::PlugName split;
    if (!KeptTakeNames::splitPlugName(name, split)) {
        return MPlug();
    }
    const MObject node = nodeNamed(split.node);
    if (node.isNull()) {
        return MPlug();
    }
    MStatus status;
    MPlug plug = MFnDependencyNode(node).findPlug(MString(split.attribute.c_str()), false, &status);
    if (status != MStatus::kSuccess) {
        return MPlug();
    }
    return split.hasIndex ? plug.elementByLogicalIndex(split.index) : plug;
}

// A connection from an earlier take's curve that its successor takes over.
struct HandedConnection {
    std::string attribute;  // of the curve
    MPlug destination;
};

// Registers the rename of an earlier take's curve and the disconnection of every plug it
// drives, and returns those plugs. A plug named in a way plugNamed cannot find stays driven
// by the kept curve.
std::vector<HandedConnection> keepCurve(MDGModifier& changes, const MObject& curve,
                                        const std::string& name, int keptTake) {
    changes.renameNode(curve, MString(KeptTakeNames::curveName(name, keptTake).c_str()));
    // Through conversion nodes, so the successor's own conversions are made as it connects.
    MStringArray ends;
    MGlobal::executeCommand(MString(("listConnections -c 1 -p 1 -s 0 -d 1 -scn 1 " + name).c_str()),
                            ends, false, false);
    std::vector<HandedConnection> handed;
    for (unsigned int i = 0; i + 1 < ends.length(); i += 2) {
        const std::string mine = ends[i].asChar();
        const std::string attribute = mine.substr(mine.find('.') + 1);
        const MPlug source = MFnDependencyNode(curve).findPlug(MString(attribute.c_str()), false);
        const MPlug destination = plugNamed(ends[i + 1].asChar());
        if (source.isNull() || destination.isNull() ||
            changes.disconnect(source, destination) != MStatus::kSuccess) {
            continue;
        }
        handed.push_back({attribute, destination});
    }
    return handed;
}

}  // namespace

namespace {

bool timesIncrease(const ChunkedSequence<TulvexDeviceNode::RecordingData>& samples) {
    for (std::size_t s = 1; s < samples.size(); ++s) {
        if (!(samples[s - 1].sampleTime < samples[s].sampleTime)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void TulvexDeviceNode::saveRecordedDataToMaya() {
    for (;;) {
        std::unique_ptr<Take> take;
        {
            std::lock_guard<std::mutex> lock(mIdleMutex);
            if (mTakesToBake.empty()) {
                return;
            }
            take = std::move(mTakesToBake.front());
            mTakesToBake.pop_front();
        }
        bakeTake(*take);
    }
}

void TulvexDeviceNode::bakeTake(Take& take) {
    TakeEmptier<Take> emptier(take);
    MFnAnimCurve curves[kCurvesPerBone];
    const std::string skeletonName = getSkeletonName();
    std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> channels{};
    copySkeletonChannels(channels.data());
    const int keptTake = keptTakeNumber(skeletonName, channels.data());
    BakeSummary summary;
    mRotationTrack.on = MPlug(thisMObject(), mContinuousRotations).asBool();
    for (std::size_t bone = 0; bone < channels.size(); ++bone) {
        const BoneKeys keys = bakeBone(channels[bone].name, take[bone], skeletonName, curves,
                                       summary.curves, keptTake);
        // A handed-over take dies with the bake: its memory goes back bone by bone, so a long
        // take and its curves are never both whole in memory.
        take[bone].release();
        // Every bone is keyed at the same times; the root tells them.
        if (bone == 0) {
            summary.keysPerCurve = keys.keys;
            summary.filledPerCurve = keys.filled;
            summary.firstTime = keys.firstTime;
            summary.lastTime = keys.lastTime;
        }
    }
    mLastBake = summary;
    // The panel says what was baked.
    MGlobal::executeCommandOnIdle(MString(UiCommandText::takeBaked(getDeviceId()).c_str()), false);
}

int TulvexDeviceNode::keptTakeNumber(const std::string& skeletonName,
                                     const SkeletonNodeInfo* bones) {
    if (!MPlug(thisMObject(), mKeepTakes).asBool()) {
        return 0;
    }
    // One number for every curve of the take, even when some of its curves are gone.
    std::vector<std::string> names;
    for (int bone = 0; bone < TulvexDataHandler::kNumBones; ++bone) {
        for (const char* suffix : kCurveSuffixes) {
            names.push_back(skeletonName + "_" + bones[bone].name + suffix);
        }
    }
    return KeptTakeNames::firstFreeTake(
        names, [](const std::string& name) { return !nodeNamed(name).isNull(); });
}

TulvexDeviceNode::BoneKeys TulvexDeviceNode::bakeBone(const char* boneName,
                                                      ChunkedSequence<RecordingData>& samples,
                                                      const std::string& skeletonName,
                                                      MFnAnimCurve* curves, int& curvesMade,
                                                      int keptTake) {
    std::string baseName = skeletonName + "_" + boneName;
    const std::array<bool, kCurvesPerBone> made = createAnimCurveSet(
        baseName, curves[0], curves[1], curves[2], curves[3], curves[4], curves[5], keptTake);
    curvesMade += static_cast<int>(std::count(made.begin(), made.end(), true));
    mRotationTrack.keyed = false;  // each bone's first key is its sample as it is

    const double maxGap = MTime(kMaxFilledGapSeconds, MTime::kSeconds).as(MTime::uiUnit());
    const BoneKeys keys = timesIncrease(samples) ? keyInOrder(samples, curves, made, maxGap)
                                                 : keyAcrossJumps(samples, curves, made, maxGap);
    samples.clear();
    return keys;
}

template <typename Emit>
void TulvexDeviceNode::forEachKey(const ChunkedSequence<RecordingData>& samples, double maxGap,
                                  const Emit& emit) {
    RecordingData previous{};
    double previousTime = kNoKey;
    for (std::size_t s = 0; s < samples.size(); ++s) {
        const RecordingData& sample = samples[s];
        const double sampleTime = sample.sampleTime;
        const std::int32_t filled =
            TakeInterpolation::filledKeyCount(previousTime, sampleTime, maxGap);
        for (std::int32_t k = 0; k < filled; ++k) {
            RecordingData between =
                interpolate(previous, sample, 1.0 / (sampleTime - previousTime));
            previousTime += 1.0;
            between.sampleTime = previousTime;
            emit(between, true);
            previous = between;
        }
        emit(sample, false);
        previous = sample;
        previousTime = sampleTime;
    }
}

// The usual take: every sample later than the one before, so keys go straight to the curves.
TulvexDeviceNode::BoneKeys TulvexDeviceNode::keyInOrder(
    const ChunkedSequence<RecordingData>& samples, MFnAnimCurve* curves,
    const std::array<bool, 6>& made, double maxGap) {
    BoneKeys counted;
    if (!samples.empty()) {
        counted.firstTime = samples[0].sampleTime;
        counted.lastTime = samples[samples.size() - 1].sampleTime;
    }
    forEachKey(samples, maxGap, [&](const RecordingData& values, bool filled) {
        addKeys(curves, made, values.sampleTime, values, mRotationTrack);
        ++counted.keys;
        counted.filled += filled ? 1 : 0;
    });
    return counted;
}

// Several samples at one time, or a timeline that jumped back (it loops): the keys are put
// in time order first, one per time.
TulvexDeviceNode::BoneKeys TulvexDeviceNode::keyAcrossJumps(
    const ChunkedSequence<RecordingData>& samples, MFnAnimCurve* curves,
    const std::array<bool, 6>& made, double maxGap) {
    // The keys in sample order, filled keys included; a backward jump is keyed where it
    // lands and not filled across.
    struct Key {
        RecordingData values;
        bool filled;
    };
    std::vector<Key> keys;
    keys.reserve(samples.size());
    forEachKey(samples, maxGap, [&](const RecordingData& values, bool filled) {
        keys.push_back({values, filled});
    });
    // A curve holds one key per time, and what Maya does with a second one is not said: the
    // last sample taken at a time is keyed there, and a filled key only where no sample fell.
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return a.values.sampleTime < b.values.sampleTime;
    });
    auto last = keys.begin();
    for (auto key = keys.begin(); key != keys.end(); ++key) {
        if (key == keys.begin()) {
            continue;
        }
        if (key->values.sampleTime != last->values.sampleTime) {
            *++last = *key;
        } else if (!key->filled || last->filled) {
            *last = *key;
        }
    }
    keys.erase(keys.empty() ? keys.end() : last + 1, keys.end());
    // A filled key was aimed at the sample that ended its gap, which a later sample at that
    // time, or another pass of a loop, may have replaced: fill again between the keys the
    // curve really holds on either side, so the curve runs through them without a kink.
    std::size_t before = 0;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (!keys[k].filled) {
            before = k;
            continue;
        }
        std::size_t after = k + 1;
        while (after < keys.size() && keys[after].filled) {
            ++after;
        }
        if (keys[before].filled || after == keys.size()) {
            continue;  // never: a gap is filled only between two samples
        }
        const RecordingData& from = keys[before].values;
        const RecordingData& to = keys[after].values;
        const double time = keys[k].values.sampleTime;
        keys[k].values =
            interpolate(from, to, (time - from.sampleTime) / (to.sampleTime - from.sampleTime));
        keys[k].values.sampleTime = time;
    }
    BoneKeys counted;
    for (const Key& key : keys) {
        addKeys(curves, made, key.values.sampleTime, key.values, mRotationTrack);
        counted.filled += key.filled ? 1 : 0;
    }
    counted.keys = static_cast<unsigned int>(keys.size());
    if (!keys.empty()) {
        counted.firstTime = keys.front().values.sampleTime;
        counted.lastTime = keys.back().values.sampleTime;
    }
    return counted;
}

std::array<bool, 6> TulvexDeviceNode::createAnimCurveSet(std::string& baseName, MFnAnimCurve& tx,
                                                         MFnAnimCurve& ty, MFnAnimCurve& tz,
                                                         MFnAnimCurve& rx, MFnAnimCurve& ry,
                                                         MFnAnimCurve& rz, int keptTake) {
    // Function sets hide operator&, as Maya's do.
    MFnAnimCurve* const curves[kCurvesPerBone] = {std::addressof(tx), std::addressof(ty),
                                                  std::addressof(tz), std::addressof(rx),
                                                  std::addressof(ry), std::addressof(rz)};
    std::array<bool, kCurvesPerBone> made{};
    for (std::size_t c = 0; c < made.size(); ++c) {
        MStatus status = MStatus::kSuccess;
        createAnimCurve(*curves[c], (baseName + kCurveSuffixes[c]).c_str(), kAngular[c], status,
                        keptTake);
        made[c] = status == MStatus::kSuccess;
    }
    if (std::find(made.begin(), made.end(), false) != made.end()) {
        MGlobal::displayError(TulvexMessages::lookup(TulvexMessages::kCreateCurvesError));
    }
    return made;
}

void TulvexDeviceNode::createAnimCurve(MFnAnimCurve& curve, const char* name, bool angular,
                                       MStatus& status, int keptTake) {
    // A curve of an earlier take carries the same name: this take replaces it, or keeps it
    // under another name.
    const MObject previousCurve = nodeNamed(name);
    // Through the idle command's modifier when there is one, so that one undo takes the
    // whole bake back and brings back what it replaced, names and connections included.
    MDGModifier own;
    MDGModifier& changes = mCurveChanges != nullptr ? *mCurveChanges : own;
    std::vector<HandedConnection> handed;
    if (!previousCurve.isNull()) {
        if (keptTake > 0) {
            handed = keepCurve(changes, previousCurve, name, keptTake);
        } else {
            changes.deleteNode(previousCurve);
        }
        changes.doIt();
    }
    curve.create(angular ? MFnAnimCurve::kAnimCurveTA : MFnAnimCurve::kAnimCurveTL, mCurveChanges,
                 &status);
    if (status != MStatus::kSuccess) {
        return;
    }
    MStatus renameStatus;
    curve.setName(MString(name), false, &renameStatus);
    if (handed.empty()) {
        return;
    }
    for (const HandedConnection& connection : handed) {
        changes.connect(curve.findPlug(MString(connection.attribute.c_str()), false),
                        connection.destination);
    }
    changes.doIt();
}

TulvexDeviceNode::RecordingData TulvexDeviceNode::interpolate(const RecordingData& from,
                                                              const RecordingData& to, double t) {
    RecordingData result{};
    for (int c = 0; c < 3; ++c) {
        result.translation[c] = TakeInterpolation::lerp(from.translation[c], to.translation[c], t);
    }
    result.quaternion = slerp(from.quaternion, to.quaternion, t);
    const double xyzw[4] = {result.quaternion.x, result.quaternion.y, result.quaternion.z,
                            result.quaternion.w};
    quaternionToVector(xyzw, result.rotation);
    return result;
}

TulvexDeviceNode::Quat TulvexDeviceNode::slerp(Quat from, Quat to, double t) {
    const TakeInterpolation::Quaternion q =
        TakeInterpolation::slerp({from.w, from.x, from.y, from.z}, {to.w, to.x, to.y, to.z}, t);
    return {q.w, q.x, q.y, q.z};
}

std::string TulvexDeviceNode::getSkeletonName() {
    return TakeInterpolation::skeletonName(mSkeletonNameTemplate, getDeviceId());
}
