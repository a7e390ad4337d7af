// Errors a person meets: a port another program holds, a node deleted under its open panel,
// File > New, unloading while nodes exist, and the shelf pressed without the plug-in.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <maya/MGlobal.h>

#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

using mayahost::uiState;

const std::string kPortInUse =
    "Port in Use. Socket Initialization failed. Try using a different port.";
const std::string kLoadThePlugin =
    "Tulvex: the TulvexMayaPlugin plug-in is not loaded. Load it in Windows > "
    "Settings/Preferences > Plug-in Manager, then press the button again.";

// A UDP port held by someone else for as long as it lives.
class HeldPort {
public:
    HeldPort() : mSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        socklen_t length = sizeof(address);
        if (bind(mSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
            getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            mPort = ntohs(address.sin_port);
        }
    }
    ~HeldPort() { close(mSocket); }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;
    int port() const { return mPort; }

private:
    int mSocket;
    int mPort = 0;
};

class PortInUseFlow : public FlowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PortInUseFlow, TheMessageLineSaysSoAndLiveGoesOff) {
    mayahost::setCheckBoxEditRunsCommands(GetParam());
    loadPlugin();
    clickNewDevice();
    HeldPort held;
    ASSERT_NE(held.port(), 0);
    mel("setAttr tulvexDevice0.inputPort " + std::to_string(held.port()));
    click(panelControlName("live", 0));
    EXPECT_TRUE(pumpUntil([] { return panelControl("live", 0).value == 0; }))
        << "the Live box stays ticked";
    EXPECT_EQ(panelControl("message", 0).caption, kPortInUse);
    EXPECT_EQ(mel("getAttr tulvexDevice0.live"), "0");
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{kPortInUse});
    EXPECT_TRUE(mayahost::takeScriptWarnings().empty());
    // A free port, and Live again: it listens.
    mel("setAttr tulvexDevice0.inputPort 0");
    click(panelControlName("live", 0));
    EXPECT_TRUE(pumpUntil(
        [] { return panelControl("message", 0).caption == "Awaiting Skeleton Definition"; }));
    EXPECT_EQ(panelControl("live", 0).value, 1);
}

INSTANTIATE_TEST_SUITE_P(CheckBoxEdits, PortInUseFlow, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& choice) {
                             return choice.param ? std::string("EditRunsCommands")
                                                 : std::string("EditRunsNothing");
                         });

TEST_F(FlowTest, APanelWhoseNodeWasDeletedWarns) {
    loadPlugin();
    clickNewDevice();
    mel("delete tulvexDevice0");
    click(panelControlName("live", 0));
    click(panelControlName("recording", 0));
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              (std::vector<std::string>{"Tulvex: no device node has device id 0.",
                                        "Tulvex: no device node has device id 0."}));
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    // Undo brings the node back, and the panel reaches it again: off, then on.
    mel("undo");
    click(panelControlName("recording", 0));
    click(panelControlName("recording", 0));
    EXPECT_TRUE(mayahost::takeScriptWarnings().empty());
    EXPECT_EQ(mel("getAttr tulvexDevice0.recording"), "1");
}

TEST_F(FlowTest, FileNewClosesThePanelsAndIdsStartAgain) {
    loadPlugin();
    clickNewDevice();
    clickNewDevice();
    mel("displayMessage \"old news\" 0");
    mel("file -force -new");
    idle();
    EXPECT_EQ(mayahost::uiWindows(), std::vector<std::string>{"MayaWindow"});
    clickNewDevice();
    EXPECT_EQ(melList("ls -type \"TulvexDeviceNode\""), std::vector<std::string>{"tulvexDevice0"});
    EXPECT_EQ(mel("getAttr tulvexDevice0.inputPort"), "12351");
    EXPECT_EQ(panelControl("message", 0).caption,
              "Switch Live on, then start streaming from the phone.")
        << "nothing left over from the last scene";
}

TEST_F(FlowTest, UnloadingWhileNodesExistIsRefused) {
    loadPlugin();
    clickNewDevice();
    EXPECT_FALSE(MGlobal::executeCommand("unloadPlugin \"TulvexMayaPlugin\""));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Plug-in, \"TulvexMayaPlugin\", is in use: 1 node(s) of "
                                       "its types are in the scene. It was not unloaded."});
    EXPECT_EQ(mel("pluginInfo -q -loaded \"TulvexMayaPlugin\""), "1");
    EXPECT_EQ(mel("pluginInfo -q -unloadOk TulvexMayaPlugin"), "0");
    mel("delete tulvexDevice0");
    EXPECT_EQ(melList("unloadPlugin \"TulvexMayaPlugin\""),
              std::vector<std::string>{"TulvexMayaPlugin"});
    mLoaded = false;
    EXPECT_EQ(mel("pluginInfo -q -loaded \"TulvexMayaPlugin\""), "0");
}

TEST_F(FlowTest, TheShelfSaysToLoadThePluginWhenItIsNotLoaded) {
    loadPlugin();
    const std::string newCommand = uiState(shelfButton("New Device")).command;
    const std::string panelsCommand = uiState(shelfButton("Panels")).command;
    mel("unloadPlugin TulvexMayaPlugin");
    mLoaded = false;
    EXPECT_EQ(mayahost::uiClick(shelfButton("New Device")), mayahost::UiOutcome::Done);
    EXPECT_EQ(mayahost::takeScriptWarnings(), std::vector<std::string>{kLoadThePlugin});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    EXPECT_TRUE(melList("ls -type transform").empty()) << "nothing was made";

    // Maya's next start: the saved shelf comes back, the scripts' folder is on the script
    // path, and nothing has sourced them.
    mayahost::resetHost();
    mayahost::setScriptEcho(false);
    mayahost::setScriptPath({stagedScripts()});
    mel("global string $gShelfTopLevel;"
        "shelfLayout -parent $gShelfTopLevel Tulvex;"
        "shelfButton -parent Tulvex -label \"New Device\" -command \"" +
        [&] {
            std::string escaped;
            for (const char c : newCommand) {
                escaped += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
            }
            return escaped;
        }() +
        "\" savedNew;");
    EXPECT_EQ(mayahost::uiClick("savedNew"), mayahost::UiOutcome::Done);
    EXPECT_EQ(mayahost::takeScriptWarnings(), std::vector<std::string>{kLoadThePlugin});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty()) << "never \"Cannot find procedure\"";
    EXPECT_NE(panelsCommand.find("tulvexOpenAllPanels"), std::string::npos);
    EXPECT_NE(panelsCommand.find("pluginInfo"), std::string::npos);
}

}  // namespace
}  // namespace flowtest
