// The panel as a person reads it: the stream's status line and the take line, refreshed by the
// plug-in's timer while a panel is open; what a bake made, on the message line; and the last
// take played on the character, then the character back on the live stream.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <chrono>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "FlowFixture.h"
#include "LoopbackPort.h"

namespace flowtest {
namespace {

constexpr int kBones = 27;

std::string statusLine(int deviceId = 0) {
    return mayahost::uiState("tulvexPanel" + std::to_string(deviceId) + "_status").caption;
}

std::string takeLine(int deviceId = 0) {
    return mayahost::uiState("tulvexPanel" + std::to_string(deviceId) + "_take").caption;
}

// Frames with no skeleton definition before them: a phone that was streaming before the
// node listened.
void sendFramesOnly(int port, int count) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int n = 1; n <= count; ++n) {
        zmf::FramePacket frame;
        frame.frameNumber = n;
        frame.timestamp = static_cast<double>(n) / 60.0;
        for (int bone = 0; bone < kBones; ++bone) {
            frame.boneIds.push_back(bone);
            frame.bones.push_back({{0, 0, 0, 1}, {0, 0, 0}});
        }
        const std::vector<std::byte> packet = zmf::encode(frame);
        sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof(to));
    }
    close(fd);
}

void sendGarbage(int port, int count) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const char junk[] = "not a packet";
    for (int n = 0; n < count; ++n) {
        sendto(fd, junk, sizeof(junk), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
    }
    close(fd);
}

int curveCount() {
    int count = 0;
    for (const std::string& name : mayahost::animCurveNames()) {
        count += name.rfind("tulvexCharacter0_Skeleton_", 0) == 0 ? 1 : 0;
    }
    return count;
}

class PanelFlow : public FlowTest {
protected:
    // Streams, binds, records about a second of timeline and bakes it by switching Recording
    // off.
    void recordATake() {
        streamAndBind();
        ASSERT_FALSE(HasFailure());
        click(panelControlName("recording", 0));
        playFor(std::chrono::milliseconds(1200));
        click(panelControlName("recording", 0));
        ASSERT_TRUE(pumpUntil([] { return curveCount() == 162; })) << curveCount() << " curves";
        idle();
    }
};

TEST_F(PanelFlow, TheStatusLineFollowsTheStreamFromNotLiveToSilent) {
    loadPlugin();
    clickNewDevice();
    EXPECT_EQ(statusLine(), "Not live");
    EXPECT_EQ(takeLine(), "Not recording");

    const int port = loopback::freeUdpPort();
    mel("setAttr tulvexDevice0.inputPort " + std::to_string(port));
    click(panelControlName("live", 0));
    const std::string waiting = "Live, waiting for the phone on port " + std::to_string(port);
    EXPECT_TRUE(pumpUntil([&] { return statusLine() == waiting; })) << statusLine();
    EXPECT_EQ(panelControl("port", 0).caption, "Input port " + std::to_string(port))
        << "the port set after the panel opened";

    // Frames keep coming, but no definition.
    EXPECT_TRUE(pumpUntil([&] {
        sendFramesOnly(port, 1);
        return statusLine() == "Waiting for a skeleton definition";
    })) << statusLine();

    mPhone = std::make_unique<Phone>(port, 60, 0.25F);
    EXPECT_TRUE(pumpUntil([] {
        return statusLine() == "Skeleton received from 127.0.0.1: press Bind to Character";
    })) << statusLine();
    click(panelControlName("bind", 0));
    EXPECT_TRUE(pumpUntil([] {
        return statusLine() == "Streaming 60 fps from 127.0.0.1, 0 dropped";
    })) << statusLine();
    // The line below tells how fresh the pose is, over the last second.
    const std::regex health(
        "Pose age [0-9.]+ ms \\(95%: [0-9.]+ ms\\), frame jitter [0-9.]+ ms, ([0-9]+) frames/s "
        "decoded");
    EXPECT_TRUE(pumpUntil([&] {
        std::smatch rate;
        const std::string line = panelControl("health", 0).caption;
        return std::regex_match(line, rate, health) && std::stoi(rate[1]) >= 30;
    })) << panelControl("health", 0).caption;

    mPhone.reset();
    // The seconds count up; a slow refresh may skip one.
    const std::regex silent("No data for ([0-9]+) s");
    EXPECT_TRUE(pumpUntil([&] {
        std::smatch seconds;
        const std::string line = statusLine();
        return std::regex_match(line, seconds, silent) && std::stoi(seconds[1]) >= 2;
    })) << statusLine();
    EXPECT_EQ(panelControl("health", 0).caption, "");
    click(panelControlName("live", 0));
    EXPECT_TRUE(pumpUntil([] { return statusLine() == "Not live"; })) << statusLine();
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(PanelFlow, TheOptionBoxesSetTheNodesAttributesAndSetFloorPutsTheFeetOnTheFloor) {
    loadPlugin();
    clickNewDevice();
    click(panelControlName("continuousRotations", 0));
    click(panelControlName("smoothing", 0));
    EXPECT_EQ(mel("getAttr tulvexDevice0.continuousRotations"), "1");
    EXPECT_EQ(mel("getAttr tulvexDevice0.smoothing"), "1");
    click(panelControlName("smoothing", 0));
    EXPECT_EQ(mel("getAttr tulvexDevice0.smoothing"), "0");
    // The default skeleton, raised 12 cm, is put back with its toes on the floor.
    mel("setAttr tulvexDevice0.floorOffset 12");
    click(panelControlName("setFloor", 0));
    EXPECT_NEAR(std::stod(mel("getAttr tulvexDevice0.floorOffset")), 0.0, 1e-9);
    EXPECT_NEAR(std::stod(mel("TulvexFloorHeight tulvexDevice0")), 0.0, 1e-9);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(PanelFlow, DatagramsThatAreNeitherFrameNorDefinitionCountAsDropped) {
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    const std::string clean = "Streaming 60 fps from 127.0.0.1, 0 dropped";
    EXPECT_TRUE(pumpUntil([&] { return statusLine() == clean; })) << statusLine();
    sendGarbage(std::stoi(mel("getAttr tulvexDevice0.inputPort")), 2);
    const std::string dropped = "Streaming 60 fps from 127.0.0.1, 2 dropped";
    EXPECT_TRUE(pumpUntil([&] { return statusLine() == dropped; })) << statusLine();
}

TEST_F(PanelFlow, TheTakeLineShowsArmedThenTheTakesLengthWhilePlaying) {
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    click(panelControlName("recording", 0));
    EXPECT_TRUE(pumpUntil([] { return takeLine() == "Recording starts when the timeline plays"; }))
        << takeLine();

    mel("playbackOptions -min 1 -max 1000 -loop \"once\"; currentTime 1; play");
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    bool sawOne = false;
    while (!sawOne && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        const auto now = std::chrono::steady_clock::now();
        mayahost::stepPlayback(now - last);
        last = now;
        pump();
        sawOne = takeLine() == "Recording: 1 s";
    }
    EXPECT_TRUE(sawOne) << takeLine();
    mel("play -state off");
    // Stopped with Recording and Live on: the take waits, and says so.
    EXPECT_TRUE(pumpUntil([] {
        return takeLine() ==
               "Take of 1 s waiting: play to go on, or switch Recording off to bake it";
    })) << takeLine();
    click(panelControlName("recording", 0));
    EXPECT_TRUE(pumpUntil([] { return takeLine() == "Not recording"; })) << takeLine();
}

TEST_F(PanelFlow, TheTimerStopsWhenTheLastPanelCloses) {
    loadPlugin();
    clickNewDevice();
    clickNewDevice();
    EXPECT_EQ(mayahost::advanceTimers(std::chrono::milliseconds(1100)), 1);
    idle();
    mel("deleteUI -window tulvexPanel0");
    EXPECT_EQ(mayahost::advanceTimers(std::chrono::milliseconds(1100)), 1);
    idle();
    mel("deleteUI -window tulvexPanel1");
    // The refresh after the last panel closed finds none open and stops the timer.
    EXPECT_EQ(mayahost::advanceTimers(std::chrono::milliseconds(1100)), 1);
    idle();
    EXPECT_EQ(mayahost::advanceTimers(std::chrono::milliseconds(5000)), 0);
    // Opening a panel starts it again.
    mel("tulvexOpenAllPanels");
    EXPECT_EQ(mayahost::advanceTimers(std::chrono::milliseconds(1100)), 1);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(PanelFlow, WithManyPanelsEachIdlePassRefreshesEightAndADeletedNodeIsSkipped) {
    loadPlugin();
    constexpr int kPanels = 10;
    for (int i = 0; i < kPanels; ++i) {
        clickNewDevice();
    }
    idle();
    const auto portLine = [](int deviceId) { return panelControl("port", deviceId).caption; };
    // A port changed in the attribute editor reaches the panel only through the refresh.
    for (int i = 0; i < kPanels; ++i) {
        mel("setAttr tulvexDevice" + std::to_string(i) + ".inputPort " + std::to_string(30000 + i));
    }
    const auto refreshed = [&](int deviceId) {
        return portLine(deviceId) == "Input port " + std::to_string(30000 + deviceId);
    };
    ASSERT_FALSE(refreshed(0)) << portLine(0);
    ASSERT_EQ(mayahost::advanceTimers(std::chrono::milliseconds(1100)), 1);
    // The timer's pass lists the panels and refreshes none of them itself.
    EXPECT_GT(mayahost::runIdleQueue(), 0);
    EXPECT_FALSE(refreshed(0));
    // The next pass refreshes the first eight, and leaves the rest to the pass after.
    EXPECT_GT(mayahost::runIdleQueue(), 0);
    for (int i = 0; i < kPanels; ++i) {
        EXPECT_EQ(refreshed(i), i < 8) << i << ": " << portLine(i);
    }
    mel("delete tulvexDevice9");
    EXPECT_GT(mayahost::runIdleQueue(), 0);
    EXPECT_TRUE(refreshed(8)) << portLine(8);
    EXPECT_FALSE(refreshed(9)) << "its node went between the passes: " << portLine(9);
    EXPECT_EQ(mayahost::runIdleQueue(), 0) << "the round is over";
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(PanelFlow, AfterABakeTheMessageLineSaysWhatWasBaked) {
    loadPlugin();
    recordATake();
    ASSERT_FALSE(HasFailure());
    const std::vector<mayahost::CurveKey> keys =
        mayahost::animCurveKeys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_FALSE(keys.empty());
    const auto whole = [](double time) { return std::to_string(std::lround(time)); };
    const std::string filled =
        mel("tulvexStatusValue(`TulvexDeviceStatus tulvexDevice0`, "
            "\"bakedFilledPerCurve\")");
    EXPECT_EQ(panelControl("message", 0).caption,
              "Baked 162 curves, " + std::to_string(keys.size()) + " keys each, frames " +
                  whole(keys.front().time) + " to " + whole(keys.back().time) + ", " + filled +
                  " filled");
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(PanelFlow, TheTakePlaysOnTheCharacterAndBackToLiveFollowsThePhoneAgain) {
    loadPlugin();
    recordATake();
    ASSERT_FALSE(HasFailure());
    // The root moves and every bone turns: the root's x and the hand's z tell both paths.
    const std::string root = "tulvexCharacter0_Skeleton_root";
    const std::string hand = "tulvexCharacter0_Skeleton_l_hand";
    const std::vector<mayahost::CurveKey> tx = mayahost::animCurveKeys(root + "_tx");
    const std::vector<mayahost::CurveKey> rz = mayahost::animCurveKeys(hand + "_rz");
    ASSERT_GE(tx.size(), 10U);
    ASSERT_EQ(rz.size(), tx.size());
    EXPECT_NE(tx.front().value, tx.back().value) << "the root moved during the take";
    EXPECT_NE(rz.front().value, rz.back().value) << "the hand turned during the take";

    click(panelControlName("playTake", 0));
    idle();
    EXPECT_EQ(panelControl("message", 0).caption,
              "The character plays the last take: press play on the timeline");
    EXPECT_EQ(melNumber("playbackOptions -query -minTime"), tx.front().time);
    EXPECT_EQ(melNumber("playbackOptions -query -maxTime"), tx.back().time);
    // The phone still streams; the joints follow the curves, at any frame.
    for (const std::size_t k : {std::size_t{0}, tx.size() / 2, tx.size() - 1}) {
        SCOPED_TRACE("key " + std::to_string(k));
        mel("currentTime " + std::to_string(tx[k].time));
        pump();
        EXPECT_NEAR(melNumber("getAttr " + root + ".tx"), tx[k].value, 1e-9);
        // The angle curve keeps radians; getAttr shows the scene's degrees.
        EXPECT_NEAR(melNumber("getAttr " + hand + ".rz") * 0.017453292519943295, rz[k].value, 1e-9);
    }
    EXPECT_EQ(mel("nodeType `listConnections -source true -destination false " + hand + ".rz`"),
              "animCurveTA")
        << "an angle curve drives the rotation with no conversion";

    click(panelControlName("backToLive", 0));
    idle();
    EXPECT_EQ(panelControl("message", 0).caption, "The character follows the phone again");
    EXPECT_EQ(mel("listConnections -source true -destination false -plugs true "
                  "-skipConversionNodes true " +
                  hand + ".rotate"),
              "tulvexDevice0.outputRotations[14]");
    const double x = melNumber("getAttr " + root + ".tx");
    const double z = melNumber("getAttr " + hand + ".rz");
    EXPECT_TRUE(pumpUntil([&] {
        return melNumber("getAttr " + root + ".tx") != x &&
               melNumber("getAttr " + hand + ".rz") != z;
    })) << "the phone moves the character again";
    // The curves are as the bake made them.
    EXPECT_EQ(curveCount(), 162);
    const std::vector<mayahost::CurveKey> after = mayahost::animCurveKeys(root + "_tx");
    ASSERT_EQ(after.size(), tx.size());
    for (std::size_t k = 0; k < tx.size(); ++k) {
        EXPECT_EQ(after[k].time, tx[k].time);
        EXPECT_EQ(after[k].value, tx[k].value);
    }
    // And the take plays again.
    click(panelControlName("playTake", 0));
    mel("currentTime " + std::to_string(tx[1].time));
    pump();
    EXPECT_NEAR(melNumber("getAttr " + root + ".tx"), tx[1].value, 1e-9);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(PanelFlow, PlayTakeWithoutACharacterOrATakeWarnsAndChangesNothing) {
    loadPlugin();
    streamAndBind(0);
    ASSERT_FALSE(HasFailure());
    mayahost::takeScriptWarnings();
    click(panelControlName("playTake", 0));
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>{"Tulvex: device 0 has no baked take to play."});
    EXPECT_EQ(mel("listConnections -source true -destination false -plugs true "
                  "-skipConversionNodes true tulvexCharacter0_Skeleton_root.translate"),
              "tulvexDevice0.outputTranslations[0]");

    clickNewDevice();
    click(panelControlName("playTake", 1));
    click(panelControlName("backToLive", 1));
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>(
                  2, "Tulvex: device 1 has no character yet: press Bind to Character first."));
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

}  // namespace
}  // namespace flowtest
