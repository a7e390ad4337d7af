#include "PerformerNode.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>
#include <mayahost/UiControl.h>

#include <algorithm>
#include <sstream>

#include "BoneTable.h"
#include "HostError.h"
#include "Mel.h"

namespace {

constexpr const char* kNodeType = "TulvexDeviceNode";

MPlug plugOf(const MObject& node, const char* attribute) {
    return MFnDependencyNode(node).findPlug(attribute, false);
}

std::vector<std::string> deviceNodes() {
    return Mel::list(std::string("ls -type \"") + kNodeType + "\"");
}

[[noreturn]] void uiFailed(const std::string& what, mayahost::UiOutcome outcome,
                           const std::string& why) {
    const char* how = outcome == mayahost::UiOutcome::NotFound      ? "it is not there"
                      : outcome == mayahost::UiOutcome::Unavailable ? "it cannot be used now"
                                                                    : "its command failed";
    throw HostError(ExitCode::kModuleNotLoaded,
                    "cannot " + what + ": " + how + (why.empty() ? "" : " (" + why + ")"));
}

}  // namespace

PerformerNode::PerformerNode(const std::string& newDeviceButton, int port) : mPort(port) {
    const std::vector<std::string> before = deviceNodes();
    std::string why;
    const mayahost::UiOutcome outcome = mayahost::uiClick(newDeviceButton, &why);
    if (outcome != mayahost::UiOutcome::Done) {
        uiFailed("press the shelf's New Device button", outcome, why);
    }
    for (const std::string& node : deviceNodes()) {
        if (std::find(before.begin(), before.end(), node) == before.end()) {
            mName = node;
        }
    }
    if (mName.empty()) {
        throw HostError(ExitCode::kModuleNotLoaded,
                        "the shelf's New Device button made no device node");
    }
    mNode = mayahost::findNode(mName);
    mDeviceId = Mel::number("getAttr " + mName + ".deviceId");
    if (Mel::number("getAttr " + mName + ".inputPort") != port) {
        Mel::run("setAttr " + mName + ".inputPort " + std::to_string(port));
        Mel::run("tulvexOpenPanel " + mName);
    }
}

std::string PerformerNode::control(const std::string& role) const {
    return "tulvexPanel" + std::to_string(mDeviceId) + "_" + role;
}

void PerformerNode::setBox(const std::string& role, bool value) {
    std::string why;
    const mayahost::UiOutcome outcome = mayahost::uiSetCheckBox(control(role), value, &why);
    if (outcome != mayahost::UiOutcome::Done) {
        uiFailed(std::string(value ? "tick" : "untick") + " " + mName + "'s " + role + " box",
                 outcome, why);
    }
}

void PerformerNode::switchLive(bool live) {
    setBox("live", live);
    evaluate();
}

void PerformerNode::leaveLive() noexcept {
    if (mayahost::uiSetCheckBox(control("live"), false) == mayahost::UiOutcome::Done) {
        evaluate();
    }
}

bool PerformerNode::live() const {
    return plugOf(mNode, "live").asBool();
}

void PerformerNode::setRecording(bool recording) {
    setBox("recording", recording);
}

double PerformerNode::frameRate() const {
    return plugOf(mNode, "frameRate").asDouble();
}

void PerformerNode::evaluate() const {
    mayahost::pullDirtyOutputs(mNode);
}

void PerformerNode::refreshStatistics() {
    const std::optional<DeviceStatus> parsed =
        DeviceStatus::parse(Mel::list("TulvexDeviceStatus " + mName));
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
    if (!mayahost::uiState(control("bind")).reachable) {
        return false;
    }
    std::string why;
    const mayahost::UiOutcome outcome = mayahost::uiClick(control("bind"), &why);
    if (outcome != mayahost::UiOutcome::Done) {
        uiFailed("bind " + mName + " to its character", outcome, why);
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

std::string PerformerNode::message() const {
    return mayahost::uiState(control("message")).caption;
}

std::string PerformerNode::panel() const {
    return mayahost::uiDump("tulvexPanel" + std::to_string(mDeviceId));
}

std::string PerformerNode::panelStatus() const {
    return "tulvexPanel" + std::to_string(mDeviceId) + ": " +
           mayahost::uiState(control("status")).caption + " | " +
           mayahost::uiState(control("take")).caption;
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
    const std::string shown = message();
    if (!shown.empty()) {
        line << "  | " << shown;
    }
    return line.str();
}
