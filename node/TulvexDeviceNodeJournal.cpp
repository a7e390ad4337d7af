// The node's take journal: what the capture thread and the take hand it, and what the main
// thread tells it about the takes to come. The journal's own thread does every file
// operation; nothing here touches the disk.
#include <arpa/inet.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <algorithm>
#include <array>
#include <string>

#include "JournalReader.h"
#include "JournalReplay.h"
#include "MelLiteral.h"
#include "TulvexDeviceNode.h"

namespace {

std::string melText(const char* command) {
    return MGlobal::executeCommandStringResult(command, false, false).asChar();
}

double melNumber(const char* command) {
    double value = 0.0;
    MGlobal::executeCommand(command, value, false, false);
    return value;
}

// The scene file's name without folder and extension; "untitled" before it is saved.
std::string sceneFolderName(const std::string& scenePath) {
    const std::size_t slash = scenePath.find_last_of('/');
    std::string name = slash == std::string::npos ? scenePath : scenePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name.empty() ? "untitled" : name;
}

}  // namespace

void TulvexDeviceNode::startJournal() {
    mJournal = std::make_unique<TakeJournal>(
        TakeJournal::Options{}, [this](const std::string& file, const std::string& reason) {
            // The journal's thread: the warning goes to the main thread's idle queue.
            const std::string text = "Take journal " + file + " is incomplete: " + reason +
                                     ". Streaming and recording go on.";
            MGlobal::executeCommandOnIdle(MString(("warning " + MelLiteral::quoted(text)).c_str()),
                                          false);
            displayUIMessage(text);
        });
}

void TulvexDeviceNode::prepareJournal() {
    std::string root = melText("workspace -q -rootDirectory");
    if (root.empty()) {
        mJournal->prepare(std::string(), TakeSidecar{});
        return;
    }
    if (root.back() != '/') {
        root += '/';
    }
    TakeSidecar take;
    take.pluginVersion = TakeSidecar::currentPluginVersion();
    take.node = name().asChar();
    take.deviceId = getDeviceId();
    take.port = getInputPortValue();
    take.streamRate = mDataHandler.getDetectedAppFps();
    take.timeUnit = melText("currentUnit -q -time");
    take.playbackMin = melNumber("playbackOptions -q -minTime");
    take.playbackMax = melNumber("playbackOptions -q -maxTime");
    take.playbackStep = melNumber("playbackOptions -q -by");
    take.skeletonName = getSkeletonName();
    std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> channels{};
    copySkeletonChannels(channels.data());
    for (const SkeletonNodeInfo& bone : channels) {
        take.bones.emplace_back(bone.name != nullptr ? bone.name : "");
    }
    const MObject self = thisMObject();
    take.settings = {{"frameRate", MPlug(self, frameRate).asInt()},
                     {"recording", MPlug(self, mInputRecording).asBool() ? 1.0 : 0.0},
                     {"smoothing", MPlug(self, mSmoothing).asBool() ? 1.0 : 0.0},
                     {"smoothingMinCutoff", MPlug(self, mSmoothingMinCutoff).asDouble()},
                     {"smoothingBeta", MPlug(self, mSmoothingBeta).asDouble()},
                     {"floorOffset", MPlug(self, mFloorOffset).asDouble()}};
    mJournal->prepare(root + "data/tulvex/" + sceneFolderName(melText("file -q -sceneName")),
                      std::move(take));
}

void TulvexDeviceNode::journalDatagram(const ReceiveState& receive, SteadyTime arrival) {
    mJournal->noteDatagram(
        receive.buffer, receive.previousLength,
        std::chrono::duration_cast<std::chrono::nanoseconds>(arrival.time_since_epoch()).count(),
        ntohl(receive.sender.sin_addr.s_addr), ntohs(receive.sender.sin_port));
}

void TulvexDeviceNode::journalSample(double sampleTime, const SkeletonNodeInfo* shown) {
    // The values the take just got, as it holds them.
    std::array<SampleMapFormat::Bone, TulvexDataHandler::kNumBones> bones{};
    for (std::size_t b = 0; b < bones.size(); ++b) {
        const RecordingData& sample = mRecordedData[b][mRecordedData[b].size() - 1];
        SampleMapFormat::Bone& bone = bones[b];
        std::copy(sample.translation, sample.translation + 3, bone.translation);
        std::copy(sample.rotation, sample.rotation + 3, bone.rotation);
        bone.quaternion[0] = sample.quaternion.w;
        bone.quaternion[1] = sample.quaternion.x;
        bone.quaternion[2] = sample.quaternion.y;
        bone.quaternion[3] = sample.quaternion.z;
    }
    mJournal->noteSample(sampleTime, mJournal->blockSerial(shown), bones.data(),
                         static_cast<std::uint32_t>(bones.size()));
}

MStatus TulvexDeviceNode::bakeJournal(const std::string& take, std::string& error) {
    std::string path = take;
    if (!take.empty() && take.find_first_not_of("0123456789") == std::string::npos) {
        std::string root = melText("workspace -q -rootDirectory");
        if (!root.empty() && root.back() != '/') {
            root += '/';
        }
        path = root + "data/tulvex/" + sceneFolderName(melText("file -q -sceneName")) + "/" +
               name().asChar() + "_take" + take + ".json";
    }
    // The one read of a journal on the main thread: asked for, like opening a file.
    JournalReader::Contents contents;
    if (!JournalReader::read(path, contents, error)) {
        return MStatus::kFailure;
    }
    if (contents.sidecar.bones.size() != TulvexDataHandler::kNumBones) {
        error = path + " holds " + std::to_string(contents.sidecar.bones.size()) +
                " bones, not the skeleton's " + std::to_string(TulvexDataHandler::kNumBones);
        return MStatus::kFailure;
    }
    if (contents.samples.empty()) {
        error = path + " holds no sample";
        return MStatus::kFailure;
    }
    if (replayWithOptions(path, contents, error) != MStatus::kSuccess) {
        return MStatus::kFailure;
    }
    Take rebuilt;
    for (std::size_t b = 0; b < rebuilt.size(); ++b) {
        rebuilt[b].reserve(contents.samples.size());
    }
    for (const SampleMapFormat::Sample& sample : contents.samples) {
        for (std::size_t b = 0; b < rebuilt.size(); ++b) {
            const SampleMapFormat::Bone& bone = sample.bones[b];
            RecordingData values{};
            std::copy(bone.translation, bone.translation + 3, values.translation);
            std::copy(bone.rotation, bone.rotation + 3, values.rotation);
            values.sampleTime = sample.time;
            values.quaternion = Quat{bone.quaternion[0], bone.quaternion[1], bone.quaternion[2],
                                     bone.quaternion[3]};
            rebuilt[b].push_back(values);
        }
    }
    bakeTake(rebuilt);
    return MStatus::kSuccess;
}

MStatus TulvexDeviceNode::replayWithOptions(const std::string& path,
                                            JournalReader::Contents& contents, std::string& error) {
    // Takes from before these options were journaled had them off.
    const PoseSmoother::Settings defaults;
    const TakeSidecar& recorded = contents.sidecar;
    const MObject self = thisMObject();
    JournalReplay::Options wanted;
    wanted.smoothing = MPlug(self, mSmoothing).asBool();
    wanted.smoothingSettings = {MPlug(self, mSmoothingMinCutoff).asDouble(),
                                MPlug(self, mSmoothingBeta).asDouble()};
    wanted.floorOffset = MPlug(self, mFloorOffset).asDouble();
    const bool wasSmoothed = recorded.setting("smoothing", 0.0) != 0.0;
    const bool sameSmoothing =
        wasSmoothed == wanted.smoothing &&
        (!wasSmoothed ||
         (recorded.setting("smoothingMinCutoff", defaults.minCutoff) ==
              wanted.smoothingSettings.minCutoff &&
          recorded.setting("smoothingBeta", defaults.beta) == wanted.smoothingSettings.beta));
    if (sameSmoothing && recorded.setting("floorOffset", 0.0) == wanted.floorOffset) {
        return MStatus::kSuccess;  // the samples as recorded
    }
    std::vector<std::vector<std::byte>> payloads;
    if (!JournalReader::readPayloads(path, payloads, error)) {
        return MStatus::kFailure;
    }
    const std::size_t redone = JournalReplay::replay(payloads, contents.samples, wanted,
                                                     kReceiveBufferSize, &quaternionToVector);
    MGlobal::displayInfo(MString((name().asChar() + std::string(": ") + std::to_string(redone) +
                                  " of " + std::to_string(contents.samples.size()) +
                                  " samples decoded again with the node's smoothing and floor "
                                  "offset")
                                     .c_str()));
    return MStatus::kSuccess;
}
