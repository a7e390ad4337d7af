// A scene saved before the node's outputs carried units: its joints took them through the
// unitConversion nodes Maya made, and a take played from distance curves holding degrees,
// through a conversion too. Maya ASCII is MEL, so the host opens it by sourcing it.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "FlowFixture.h"

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

class OldSceneFlow : public FlowTest {
protected:
    void TearDown() override {
        std::remove(mPath.c_str());
        FlowTest::TearDown();
    }
    void open() {
        std::ofstream(mPath) << kOldScene;
        mel("source \"" + mPath + "\"");
    }
    std::string mPath = "/tmp/tulvex-old-scene-" + std::to_string(getpid()) + ".ma";
};

TEST_F(OldSceneFlow, OpensPlaysItsDegreeCurvesAndBindsAfreshWithoutConversions) {
    loadPlugin();
    open();
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

}  // namespace
}  // namespace flowtest
