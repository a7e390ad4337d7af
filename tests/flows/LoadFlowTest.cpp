// Load: the plug-in's shelf, built once Maya is idle after the load, and only one of it
// whether the plug-in loads again or Maya rebuilt a saved copy of the shelf first.
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

using mayahost::uiElements;
using mayahost::uiState;

constexpr const char* kShelf = "MayaWindow|ShelfLayout|Tulvex";

TEST_F(FlowTest, LoadBuildsTheTulvexShelfWithItsTwoButtons) {
    ASSERT_EQ(mayahost::loadPlugin(stagedPlugin()), MStatus::kSuccess);
    mLoaded = true;
    EXPECT_FALSE(uiState(kShelf).exists) << "the shelf waits for Maya to be idle";
    idle();
    const mayahost::UiState shelf = uiState(kShelf);
    ASSERT_EQ(shelf.type, "shelfLayout");
    EXPECT_EQ(shelf.children.size(), 2U);
    const std::string newButton = shelfButton("New Device");
    const std::string panelsButton = shelfButton("Panels");
    ASSERT_FALSE(newButton.empty());
    ASSERT_FALSE(panelsButton.empty());
    EXPECT_EQ(mel("shelfButton -q -annotation \"" + newButton + "\""),
              "Create a Tulvex device node and open its panel");
    EXPECT_EQ(mel("shelfButton -q -imageOverlayLabel \"" + panelsButton + "\""), "Pnl");
    EXPECT_EQ(mel("shelfButton -q -sourceType \"" + newButton + "\""), "mel");
    EXPECT_TRUE(uiState(newButton).reachable);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    // The scene's time unit is watched for the device nodes' time connections.
    EXPECT_EQ(melList("scriptJob -listJobs"),
              std::vector<std::string>{"1: \"timeUnitChanged\" \"tulvexTimeUnitChanged\""});
}

TEST_F(FlowTest, LoadingAgainLeavesOneShelfAndOneJob) {
    loadPlugin();
    unloadPlugin();
    EXPECT_TRUE(uiState(kShelf).exists) << "Maya keeps the shelf when the plug-in goes";
    loadPlugin();
    EXPECT_EQ(uiElements("Tulvex"), std::vector<std::string>{kShelf});
    EXPECT_EQ(uiState(kShelf).children.size(), 2U);
    EXPECT_EQ(melList("scriptJob -listJobs").size(), 1U);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(FlowTest, ASavedShelfIsReplacedNotDoubled) {
    // What Maya does at start with the shelf it saved at exit: it builds it again, plug-in or
    // not, with the commands it had then.
    mel("global string $gShelfTopLevel;"
        "shelfLayout -parent $gShelfTopLevel Tulvex;"
        "shelfButton -parent Tulvex -enableCommandRepeat 1 -label \"New Device\""
        " -imageOverlayLabel \"New\" -image1 \"commandButton.png\" -sourceType \"mel\""
        " -command \"tulvexNewDevice\";"
        "shelfButton -parent Tulvex -label \"Old\" -command \"tulvexSomethingGone\";"
        "shelfButton -parent Tulvex -label \"Panels\" -command \"tulvexOpenAllPanels\";");
    loadPlugin();
    EXPECT_EQ(uiElements("Tulvex"), std::vector<std::string>{kShelf});
    EXPECT_EQ(uiState(kShelf).children.size(), 2U) << "the old buttons are gone";
    EXPECT_NE(uiState(shelfButton("New Device")).command.find("pluginInfo"), std::string::npos);
}

}  // namespace
}  // namespace flowtest
