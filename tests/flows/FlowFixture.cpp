#include "FlowFixture.h"

#include <maya/MCommandResult.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <cstdlib>
#include <string>

#include "LoopbackPort.h"

namespace flowtest {

std::chrono::steady_clock::time_point FlowTest::sLastPump = std::chrono::steady_clock::now();

void FlowTest::SetUp() {
    mayahost::resetHost();
    // Parallel evaluation with Cached Playback, as Maya starts; the suite runs once more in
    // DG mode ("off") through this variable.
    const char* mode = std::getenv("TULVEX_TEST_EVALUATION_MODE");
    if (mode != nullptr && std::string(mode) == "off") {
        mayahost::setEvaluationMode(mayahost::EvaluationMode::Off);
    }
    sLastPump = std::chrono::steady_clock::now();
    mayahost::setScriptEcho(false);
    mayahost::setScriptPath({stagedScripts()});
}

void FlowTest::TearDown() {
    mPhone.reset();
    mayahost::stopPlayback();
    mayahost::exitHost();
    if (mLoaded) {
        mayahost::unloadPlugin(stagedPlugin());
    }
    mayahost::resetHost();
}

void FlowTest::loadPlugin() {
    ASSERT_EQ(mayahost::loadPlugin(stagedPlugin()), MStatus::kSuccess);
    mLoaded = true;
    idle();
}

void FlowTest::unloadPlugin() {
    mLoaded = false;
    ASSERT_EQ(mayahost::unloadPlugin(stagedPlugin()), MStatus::kSuccess);
}

void FlowTest::idle() {
    for (int round = 0; round < 20 && mayahost::runIdleQueue() > 0; ++round) {
    }
}

void FlowTest::pump() {
    mayahost::waitForRefresh(std::chrono::milliseconds(5));
    mayahost::processRefreshes();
    // Maya's event loop runs the timers that are due.
    const auto now = std::chrono::steady_clock::now();
    mayahost::advanceTimers(now - sLastPump);
    sLastPump = now;
    // Maya's UI evaluates a device node after its attributes change (live switched on, say).
    MStringArray nodes;
    MGlobal::executeCommand("ls -type \"TulvexDeviceNode\"", nodes);
    for (unsigned int i = 0; i < nodes.length(); ++i) {
        mayahost::pullDirtyOutputs(mayahost::findNode(nodes[i].asChar()));
    }
    mayahost::runIdleQueue();
}

bool FlowTest::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        pump();
    }
    return true;
}

std::string FlowTest::mel(const std::string& text) {
    MCommandResult result;
    const MStatus status = MGlobal::executeCommand(MString(text.c_str()), result);
    std::string shown;
    for (const std::string& line : mayahost::takeScriptLines()) {
        shown += line + "\n";
    }
    EXPECT_EQ(status, MStatus::kSuccess) << text << "\n" << shown;
    return result.stringResult().asChar();
}

std::vector<std::string> FlowTest::melList(const std::string& text) {
    MStringArray array;
    EXPECT_EQ(MGlobal::executeCommand(MString(text.c_str()), array), MStatus::kSuccess) << text;
    std::vector<std::string> out;
    for (unsigned int i = 0; i < array.length(); ++i) {
        out.emplace_back(array[i].asChar());
    }
    return out;
}

double FlowTest::melNumber(const std::string& text) {
    double value = 0.0;
    EXPECT_EQ(MGlobal::executeCommand(MString(text.c_str()), value), MStatus::kSuccess) << text;
    return value;
}

void FlowTest::playFor(std::chrono::milliseconds length) {
    mel("playbackOptions -min 1 -max 1000 -loop \"once\"; currentTime 1; play");
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    while (std::chrono::steady_clock::now() - start < length) {
        const auto now = std::chrono::steady_clock::now();
        mayahost::stepPlayback(now - last);
        last = now;
        pump();
    }
    mel("play -state off");
    pump();
}

std::string FlowTest::shelfButton(const std::string& label) {
    const mayahost::UiState shelf = mayahost::uiState("MayaWindow|ShelfLayout|Tulvex");
    for (const std::string& child : shelf.children) {
        const mayahost::UiState button = mayahost::uiState(shelf.path + "|" + child);
        if (button.type == "shelfButton" && button.caption == label) {
            return button.path;
        }
    }
    return std::string();
}

void FlowTest::clickNewDevice() {
    const std::string button = shelfButton("New Device");
    ASSERT_FALSE(button.empty()) << "no New button on the Tulvex shelf";
    std::string why;
    ASSERT_EQ(mayahost::uiClick(button, &why), mayahost::UiOutcome::Done) << why;
    idle();
}

std::string FlowTest::panelControlName(const std::string& role, int deviceId) {
    return "tulvexPanel" + std::to_string(deviceId) + "_" + role;
}

mayahost::UiState FlowTest::panelControl(const std::string& role, int deviceId) {
    return mayahost::uiState(panelControlName(role, deviceId));
}

mayahost::UiOutcome FlowTest::click(const std::string& name) {
    std::string why;
    const mayahost::UiOutcome outcome = mayahost::uiClick(name, &why);
    EXPECT_EQ(outcome, mayahost::UiOutcome::Done) << name << ": " << why;
    return outcome;
}

std::string FlowTest::streamAndBind(int deviceId) {
    clickNewDevice();
    std::string node = "tulvexDevice" + std::to_string(deviceId);
    // A free port, set as a user would in the attribute editor: other test runs may hold
    // the default ones.
    const int port = loopback::freeUdpPort();
    mel("setAttr " + node + ".inputPort " + std::to_string(port));
    click(panelControlName("live", deviceId));
    const bool listening = pumpUntil([&] {
        return panelControl("message", deviceId).caption == "Awaiting Skeleton Definition";
    });
    EXPECT_TRUE(listening) << panelControl("message", deviceId).caption;
    mPhone = std::make_unique<Phone>(port, 60, 0.25F);
    const bool arrived = pumpUntil([&] { return panelControl("bind", deviceId).enabled; });
    EXPECT_TRUE(arrived) << "the Bind button never came on";
    click(panelControlName("bind", deviceId));
    idle();
    // Until the first frame after the definition, the skeleton stands in its rest pose.
    const std::string root = "tulvexCharacter" + std::to_string(deviceId) + "_Skeleton_root.tx";
    const double rest = melNumber("getAttr " + root);
    EXPECT_TRUE(pumpUntil([&] { return melNumber("getAttr " + root) != rest; }))
        << "no frame moved the skeleton";
    return node;
}

}  // namespace flowtest
