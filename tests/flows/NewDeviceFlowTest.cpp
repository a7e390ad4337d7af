// New device: the shelf's New button makes a device node with the next free id and port,
// driven by the scene time, and opens its panel; the Panels button opens them again.
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

using mayahost::uiState;

TEST_F(FlowTest, NewDeviceMakesANodeAndOpensItsPanel) {
    loadPlugin();
    clickNewDevice();
    EXPECT_EQ(melList("ls -type \"TulvexDeviceNode\""), std::vector<std::string>{"tulvexDevice0"});
    EXPECT_EQ(mel("getAttr tulvexDevice0.deviceId"), "0");
    EXPECT_EQ(mel("getAttr tulvexDevice0.inputPort"), "12351");
    EXPECT_EQ(melList("listConnections -s 1 -d 0 -scn 1 -p 1 tulvexDevice0.time"),
              std::vector<std::string>{"time1.outTime"});

    // The address list is this machine's own, so only its heading is compared.
    const std::string dump = mayahost::uiDump("tulvexPanel0");
    const std::string addressLine = "    scrollField tulvexPanel0_addresses \"Your local IPs:";
    ASSERT_NE(dump.find(addressLine), std::string::npos) << dump;
    EXPECT_EQ(dump.substr(0, dump.find(addressLine)),
              "window tulvexPanel0 \"Tulvex Device 0 (tulvexDevice0)\" shown\n"
              "  columnLayout columnLayout1\n"
              "    text tulvexPanel0_port \"Input port 12351\"\n"
              "    checkBox tulvexPanel0_live \"Live\" off\n"
              "    checkBox tulvexPanel0_recording \"Recording\" off\n"
              "    button tulvexPanel0_bind \"Bind to Character\" disabled\n"
              "    text tulvexPanel0_status \"Not live\"\n"
              "    text tulvexPanel0_health \"\"\n"
              "    text tulvexPanel0_take \"Not recording\"\n"
              "    text tulvexPanel0_message \"Switch Live on, then start streaming from the "
              "phone.\"\n"
              "    rowLayout rowLayout1\n"
              "      button tulvexPanel0_playTake \"Play Take on Character\"\n"
              "      button tulvexPanel0_backToLive \"Back to Live\"\n"
              "    rowLayout rowLayout2\n"
              "      checkBox tulvexPanel0_continuousRotations \"Continuous rotations\" off\n"
              "      checkBox tulvexPanel0_smoothing \"Smooth live pose\" off\n"
              "      button tulvexPanel0_setFloor \"Set floor\"\n"
              "    optionMenu tulvexPanel0_drive \"Drive character\" = \"None\"\n"
              "      menuItem menuItem1 \"None\"\n");
    EXPECT_TRUE(panelControl("live", 0).reachable);
    EXPECT_FALSE(panelControl("bind", 0).reachable);
    EXPECT_EQ(mayahost::uiClick(panelControlName("bind", 0)), mayahost::UiOutcome::Unavailable);

    clickNewDevice();
    EXPECT_EQ(mel("getAttr tulvexDevice1.deviceId"), "1");
    EXPECT_EQ(mel("getAttr tulvexDevice1.inputPort"), "12352");
    EXPECT_EQ(uiState("tulvexPanel1").caption, "Tulvex Device 1 (tulvexDevice1)");
    EXPECT_EQ(panelControl("port", 1).caption, "Input port 12352");
    EXPECT_TRUE(uiState("tulvexPanel0").visible) << "the first panel stays";
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(FlowTest, NewDeviceSkipsAPortAnotherNodeUses) {
    loadPlugin();
    clickNewDevice();
    mel("setAttr tulvexDevice0.inputPort 12352");
    clickNewDevice();
    EXPECT_EQ(mel("getAttr tulvexDevice1.inputPort"), "12353");
    EXPECT_EQ(panelControl("port", 1).caption, "Input port 12353");
}

TEST_F(FlowTest, ThePanelsButtonOpensEveryPanelAgain) {
    loadPlugin();
    clickNewDevice();
    clickNewDevice();
    ASSERT_EQ(mayahost::uiCloseWindow("tulvexPanel0"), mayahost::UiOutcome::Done);
    ASSERT_EQ(mayahost::uiCloseWindow("tulvexPanel1"), mayahost::UiOutcome::Done);
    EXPECT_FALSE(uiState("tulvexPanel0").exists);
    click(shelfButton("Panels"));
    EXPECT_TRUE(uiState("tulvexPanel0").visible);
    EXPECT_TRUE(uiState("tulvexPanel1").visible);
}

TEST_F(FlowTest, ThePanelAsksTheNodeForItsAddressesWhenItOpens) {
    loadPlugin();
    // What the plug-in's TulvexShowAddresses does, as far as the panel can tell: the node
    // answers through displayAvailableIPs.
    mel("global proc TulvexShowAddresses(string $node) {"
        "    displayAvailableIPs(\"asked by \" + $node, `getAttr ($node + \".deviceId\")`);"
        "}");
    clickNewDevice();
    EXPECT_EQ(panelControl("addresses", 0).text, "asked by tulvexDevice0");
    ASSERT_EQ(mayahost::uiCloseWindow("tulvexPanel0"), mayahost::UiOutcome::Done);
    mel("displayAvailableIPs \"changed meanwhile\" 0");
    click(shelfButton("Panels"));
    EXPECT_EQ(panelControl("addresses", 0).text, "asked by tulvexDevice0")
        << "asked again as it opens";
}

}  // namespace
}  // namespace flowtest
