// A scene saved before the node's outputs carried units: its joints took them through the
// unitConversion nodes Maya made, and a take played from distance curves holding degrees,
// through a conversion too. Maya ASCII is MEL, so the host reads it by sourcing it; File >
// Open around that read mends the conversions the node feeds.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FlowFixture.h"
#include "LoopbackPort.h"

namespace flowtest {
namespace {

// As Maya 2022 wrote it then: explicit conversion nodes, setAttr on the node just made.
const char* const kOldScene = R"(//Maya ASCII 2022 scene
//Codeset: UTF-8
requires maya "2022";
requires "TulvexMayaPlugin" "1.0";
currentUnit -l centimeter -a degree -t film;
fileInfo "application" "maya";
fileInfo "product" "Maya 2022";
createNode transform -n "old";
createNode joint -n "old_live" -p "old";
	setAttr ".ro" 0;
createNode joint -n "old_played" -p "old";
createNode TulvexDeviceNode -n "tulvexDevice0";
	setAttr ".did" 0;
createNode timeToUnitConversion -n "timeToUnitConversion1";
	setAttr ".cf" 0.004;
createNode unitConversion -n "unitConversion1";
	setAttr ".cf" 0.017453292519943295;
createNode animCurveTL -n "old_played_rz";
	setAttr ".tan" 2;
	setAttr ".wgt" no;
	setAttr -s 3 ".ktv[0:2]"  1 10 2 -20.5 3 30;
createNode unitConversion -n "unitConversion2";
	setAttr ".cf" 0.017453292519943295;
connectAttr "time1.o" "timeToUnitConversion1.i";
connectAttr "timeToUnitConversion1.o" "tulvexDevice0.tm";
connectAttr "tulvexDevice0.ots[0]" "old_live.t";
connectAttr "tulvexDevice0.ors[0]" "unitConversion1.i";
connectAttr "unitConversion1.o" "old_live.r";
connectAttr "old_played_rz.o" "unitConversion2.i";
connectAttr "unitConversion2.o" "old_played.rz";
// End of scene
)";

// The same scene as the plug-in writes it now: the outputs reach the joint as they are, and
// only the old curve and a rig's use of an input of the node go through conversions.
const char* const kNewScene = R"(//Maya ASCII 2022 scene
//Codeset: UTF-8
requires maya "2022";
requires "TulvexMayaPlugin" "1.0";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "old";
createNode joint -n "old_live" -p "old";
createNode joint -n "old_played" -p "old";
createNode TulvexDeviceNode -n "tulvexDevice0";
	setAttr ".did" 0;
createNode animCurveTL -n "old_played_rz";
	setAttr -s 3 ".ktv[0:2]"  1 10 2 -20.5 3 30;
createNode unitConversion -n "unitConversion2";
	setAttr ".cf" 0.017453292519943295;
connectAttr "tulvexDevice0.ots[0]" "old_live.t";
connectAttr "tulvexDevice0.ors[0]" "old_live.r";
connectAttr "old_played_rz.o" "unitConversion2.i";
connectAttr "unitConversion2.o" "old_played.rz";
createNode unitConversion -n "unitConversion3";
	setAttr ".cf" 0.017453292519943295;
connectAttr "tulvexDevice0.flo" "unitConversion3.i";
connectAttr "unitConversion3.o" "old_played.rx";
// End of scene
)";

const char* const kMended =
    "tulvexDevice0: removed the unit conversions an earlier version needed (unitConversion1); "
    "its outputs now drive old_live.rotate directly";

class OldSceneFlow : public FlowTest {
protected:
    void TearDown() override {
        std::remove(mPath.c_str());
        FlowTest::TearDown();
    }
    // Only what the file's MEL does: no File > Open around it.
    void source(const char* scene = kOldScene) {
        std::ofstream(mPath) << scene;
        mel("source \"" + mPath + "\"");
    }
    // File > Open. With `loadsPlugin`, the file's requires line is what loads the plug-in, as
    // Maya does in the middle of reading the file.
    void open(const char* scene = kOldScene, bool loadsPlugin = false) {
        std::ofstream(mPath) << scene;
        mayahost::fileOpen(mPath, [&] {
            if (loadsPlugin) {
                ASSERT_EQ(mayahost::loadPlugin(stagedPlugin()), MStatus::kSuccess);
                mLoaded = true;
            }
            mel("source \"" + mPath + "\"");
        });
        idle();
    }
    static void expectTheOldCurvePlaysItsDegrees() {
        const double keys[][2] = {{1, 10}, {2, -20.5}, {3, 30}};
        for (const auto& key : keys) {
            mel("currentTime " + std::to_string(key[0]));
            EXPECT_NEAR(melNumber("getAttr old_played.rz"), key[1], 1e-12) << "frame " << key[0];
        }
        EXPECT_EQ(mel("listConnections -s 1 -d 0 old_played.rz"), "unitConversion2");
    }
    std::string mPath = "/tmp/tulvex-old-scene-" + std::to_string(getpid()) + ".ma";
};

TEST_F(OldSceneFlow, OpensPlaysItsDegreeCurvesAndBindsAfreshWithoutConversions) {
    loadPlugin();
    source();
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    EXPECT_EQ(melList("ls -type unitConversion").size(), 2U) << "the file's own, no more";
    // The distance curve holds degrees; its conversion makes them the joint's radians.
    const double keys[][2] = {{1, 10}, {2, -20.5}, {3, 30}, {2.5, 4.75}};
    for (const auto& key : keys) {
        mel("currentTime " + std::to_string(key[0]));
        EXPECT_NEAR(melNumber("getAttr old_played.rz"), key[1], 1e-12) << "frame " << key[0];
    }
    mel("currentTime 2");
    EXPECT_EQ(melNumber("getAttr tulvexDevice0.time"), 2.0) << "the old time conversion holds";

    // Binding again drops the old conversion: the outputs reach the joint as they are.
    mel("tulvexDisconnectInputs old_live; tulvexConnectLive tulvexDevice0 old_live 0");
    EXPECT_TRUE(melList("ls -type unitConversion") == std::vector<std::string>{"unitConversion2"});
    EXPECT_EQ(mel("listConnections -s 1 -d 0 -p 1 old_live.rotate"),
              "tulvexDevice0.outputRotations[0]");
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

// With no new Bind, a performer streamed to the opened scene turns the old joint by the
// true angle: the conversion the node fed is gone, the one the old curve feeds stays.
TEST_F(OldSceneFlow, OpeningTakesOutTheNodesConversionsSoLiveValuesReachTheJointAsTheyAre) {
    loadPlugin();
    mayahost::takeDisplayedInfos();
    open();
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    EXPECT_EQ(mayahost::takeDisplayedInfos(), std::vector<std::string>{kMended});
    EXPECT_TRUE(melList("ls -type unitConversion") == std::vector<std::string>{"unitConversion2"});
    EXPECT_EQ(mel("listConnections -s 1 -d 0 -p 1 old_live.rotate"),
              "tulvexDevice0.outputRotations[0]");
    EXPECT_EQ(mel("listConnections -s 1 -d 0 -p 1 old_live.translate"),
              "tulvexDevice0.outputTranslations[0]");
    expectTheOldCurvePlaysItsDegrees();

    const int port = loopback::freeUdpPort();
    mel("setAttr tulvexDevice0.inputPort " + std::to_string(port));
    mel("setAttr tulvexDevice0.live 1");
    const auto status = [](const std::string& name) {
        return mel("tulvexStatusValue(tulvexNodeStatus(\"tulvexDevice0\"), \"" + name + "\")");
    };
    // The phone sends its definition once, so the socket is open first: the evaluation
    // Maya runs after live changes opens it.
    pump();
    mPhone = std::make_unique<Phone>(port, 60, 0.25F);
    const auto defined = [&] { return status("definitionsAccepted") != "0"; };
    ASSERT_TRUE(pumpUntil(defined))
        << "the skeleton definition never arrived: " << mel("tulvexNodeStatus tulvexDevice0");
    // What Bind tells the node last, without building a skeleton again.
    mel("TulvexDidCharacterize tulvexDevice0");
    // Bone 0 turns a degree a frame about z; a few frames in, the joint shows whole degrees.
    ASSERT_TRUE(pumpUntil([] { return melNumber("getAttr old_live.rz") >= 3.0; }))
        << "the joint never turned: " << melNumber("getAttr old_live.rz");
    pump();
    const double turn = melNumber("getAttr old_live.rz");
    EXPECT_NEAR(turn, std::round(turn), 1e-3) << "whole degrees";
    EXPECT_LE(turn, mPhone->framesSent() + 0.5);
    EXPECT_NEAR(melNumber("getAttr tulvexDevice0.outputRotations[0].outputRotations2"), turn, 1e-9);
    EXPECT_NEAR(melNumber("getAttr old_live.ty"), 90.0, 1e-4) << "the root's height in cm";
    // Internally the joint holds radians: the same turn in a radian scene.
    mel("currentUnit -angle radian");
    EXPECT_NEAR(melNumber("getAttr old_live.rz"), turn * 0.017453292519943295, 1e-12);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

// The plug-in loaded by the file's requires line has its after-open callback in place before
// the file is read to its end.
TEST_F(OldSceneFlow, AScenesRequiresLineLoadingThePluginStillGetsItMended) {
    open(kOldScene, true);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    EXPECT_EQ(mayahost::takeDisplayedInfos(), std::vector<std::string>{kMended});
    EXPECT_TRUE(melList("ls -type unitConversion") == std::vector<std::string>{"unitConversion2"});
    EXPECT_EQ(mel("listConnections -s 1 -d 0 -p 1 old_live.rotate"),
              "tulvexDevice0.outputRotations[0]");
    expectTheOldCurvePlaysItsDegrees();
}

TEST_F(OldSceneFlow, ASceneWithNothingToMendIsLeftAsItIsAndSaysNothing) {
    loadPlugin();
    mayahost::takeDisplayedInfos();
    open(kNewScene);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    EXPECT_TRUE(mayahost::takeDisplayedInfos().empty());
    EXPECT_TRUE(mayahost::takeScriptOutput().empty());
    EXPECT_TRUE(melList("ls -type unitConversion") ==
                (std::vector<std::string>{"unitConversion2", "unitConversion3"}));
    EXPECT_EQ(mel("listConnections -s 1 -d 0 -p 1 old_played.rx"), "unitConversion3.output");
    EXPECT_EQ(mel("listConnections -s 1 -d 0 -p 1 old_live.rotate"),
              "tulvexDevice0.outputRotations[0]");
    expectTheOldCurvePlaysItsDegrees();
}

}  // namespace
}  // namespace flowtest
