#include "PerformerNode.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <sstream>

#include "BoneTable.h"
#include "HostError.h"

namespace {

constexpr const char* kNodeType = "TulvexDeviceNode";

MPlug plugOf(const MObject& node, const char* attribute) {
    return MFnDependencyNode(node).findPlug(attribute, false);
}

void require(MStatus status, const std::string& what) {
    if (status != MStatus::kSuccess) {
        throw HostError(ExitCode::kModuleNotLoaded, what);
    }
}

}  // namespace

PerformerNode::PerformerNode(int deviceId, int port)
    : mDeviceId(deviceId), mPort(port), mNode(mayahost::createNode(kNodeType)) {
    if (mNode.isNull()) {
        throw HostError(ExitCode::kModuleNotLoaded,
                        std::string("the plug-in registered no ") + kNodeType + " node type");
    }
    mName = mayahost::nodeName(mNode);
    require(plugOf(mNode, "deviceId").setInt(deviceId), "cannot set " + mName + ".deviceId");
    require(plugOf(mNode, "inputPort").setInt(port), "cannot set " + mName + ".inputPort");
    require(mayahost::connectSceneTime(mNode, "time"),
            "cannot connect the scene time to " + mName + ".time");
}

void PerformerNode::switchLive(bool live) {
    mayahost::setLive(mNode, live);
    mayahost::pullDirtyOutputs(mNode);
}

bool PerformerNode::live() const {
    return plugOf(mNode, "live").asBool();
}

void PerformerNode::setRecording(bool recording) {
    plugOf(mNode, "recording").setBool(recording);
}

double PerformerNode::frameRate() const {
    return plugOf(mNode, "frameRate").asDouble();
}

void PerformerNode::refreshStatistics() {
    MStringArray result;
    const MString command(("TulvexDeviceStatus " + mName).c_str());
    if (MGlobal::executeCommand(command, result) != MStatus::kSuccess) {
        throw HostError(ExitCode::kModuleNotLoaded,
                        "the plug-in does not answer TulvexDeviceStatus for " + mName);
    }
    std::vector<std::string> texts;
    for (unsigned int i = 0; i < result.length(); ++i) {
        texts.emplace_back(result[i].asChar());
    }
    const std::optional<DeviceStatus> parsed = DeviceStatus::parse(texts);
    if (!parsed) {
        throw HostError(ExitCode::kModuleNotLoaded,
                        "the plug-in's TulvexDeviceStatus gave an unreadable answer for " + mName);
    }
    mStatistics = *parsed;
}

std::vector<std::array<double, 3>> PerformerNode::translations() const {
    const MPlug array = plugOf(mNode, "outputTranslations");
    std::vector<std::array<double, 3>> result(BoneTable::kBoneCount, {0.0, 0.0, 0.0});
    for (unsigned int bone = 0; bone < result.size(); ++bone) {
        const std::vector<double> values = mayahost::plugValues(array.elementByLogicalIndex(bone));
        for (std::size_t c = 0; c < 3 && c < values.size(); ++c) {
            result[bone][c] = values[c];
        }
    }
    return result;
}

bool PerformerNode::bindIfAsked() {
    if (!mBindEnabled) {
        return false;
    }
    // What the Bind button runs once the scripts have built the skeleton.
    const MString command(("TulvexDidCharacterize " + mName).c_str());
    mBindEnabled = false;
    if (MGlobal::executeCommand(command) != MStatus::kSuccess) {
        return false;
    }
    mBound = true;
    refreshStatistics();
    mFramesAtBind = mStatistics.framesApplied;
    return true;
}

bool PerformerNode::streaming() const {
    // Before the bind the node ignores frames.
    return mBound && mStatistics.framesApplied > mFramesAtBind;
}

std::string PerformerNode::statusLine() const {
    // The detected rate starts at a default that looks like one; it means one only once
    // frames have been applied.
    const std::uint64_t rate = streaming() ? mStatistics.detectedRate : 0;
    std::ostringstream line;
    line << mName << "  port " << mPort << "  " << (live() ? "live" : "off ") << "  "
         << (mBound ? "bound  " : "unbound") << "  frameRate " << frameRate() << " ("
         << (rate == 0 ? std::string("-") : std::to_string(rate)) << " fps)  datagrams "
         << mStatistics.datagramsReceived << "  frames " << mStatistics.framesApplied
         << "  superseded " << mStatistics.blocksSuperseded << "  rejected "
         << mStatistics.datagramsRejected;
    if (!mMessage.empty()) {
        line << "  | " << mMessage;
    }
    return line.str();
}
