// The real module through MEL: loadPlugin along the plug-in path, pluginInfo's answers,
// unloadPlugin, and the plug-in's command failing as a MEL statement.
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PluginFixture.h"

namespace plugintest {
namespace {

std::vector<std::string> strings(const std::string& mel) {
    MStringArray array;
    EXPECT_EQ(MGlobal::executeCommand(MString(mel.c_str()), array), MStatus::kSuccess) << mel;
    std::vector<std::string> out;
    for (unsigned int i = 0; i < array.length(); ++i) {
        out.emplace_back(array[i].asChar());
    }
    return out;
}

std::string text(const std::string& mel) {
    MString result;
    EXPECT_EQ(MGlobal::executeCommand(MString(mel.c_str()), result), MStatus::kSuccess) << mel;
    return result.asChar();
}

int number(const std::string& mel) {
    int result = -1;
    EXPECT_EQ(MGlobal::executeCommand(MString(mel.c_str()), result), MStatus::kSuccess) << mel;
    return result;
}

class PluginMel : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        mayahost::setScriptEcho(false);
        mayahost::setPluginPath({std::filesystem::path(stagedPlugin()).parent_path().string()});
    }
};

TEST_F(PluginMel, LoadPluginFindsTheModuleAndPluginInfoDescribesIt) {
    EXPECT_EQ(number("pluginInfo -q -loaded \"TulvexMayaPlugin\""), 0);
    EXPECT_EQ(number("pluginInfo -q -registered TulvexMayaPlugin"), 0);
    EXPECT_EQ(strings("loadPlugin \"TulvexMayaPlugin\""),
              std::vector<std::string>{"TulvexMayaPlugin"});
    mModule = stagedPlugin();
    mLoaded = true;
    EXPECT_EQ(number("pluginInfo -q -loaded TulvexMayaPlugin"), 1);
    EXPECT_EQ(text("pluginInfo -q -path TulvexMayaPlugin"), stagedPlugin());
    EXPECT_EQ(text("pluginInfo -q -version TulvexMayaPlugin"), "1.0.1");
    EXPECT_EQ(text("pluginInfo -q -vendor TulvexMayaPlugin"), "Zarn Corporation");
    EXPECT_EQ(strings("pluginInfo -q -command TulvexMayaPlugin"),
              (std::vector<std::string>{"TulvexDidCharacterize", "TulvexShowAddresses",
                                        "TulvexDeviceStatus", "TulvexBakeTake", "TulvexStatusTimer",
                                        "TulvexRestPose", "TulvexFloorHeight", "TulvexTakes",
                                        "TulvexDeviceIdle"}));
    EXPECT_EQ(strings("pluginInfo -q -dependNode TulvexMayaPlugin"),
              std::vector<std::string>{"TulvexDeviceNode"});
    EXPECT_EQ(strings("pluginInfo -q -listPlugins"), std::vector<std::string>{"TulvexMayaPlugin"});
    EXPECT_EQ(number("pluginInfo -q -unloadOk TulvexMayaPlugin"), 1);
    // A path names the same plug-in.
    EXPECT_EQ(number("pluginInfo -q -loaded \"" + stagedPlugin() + "\""), 1);

    EXPECT_TRUE(strings("loadPlugin TulvexMayaPlugin").empty());
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>{"Plug-in, \"TulvexMayaPlugin\", is already loaded."});
    EXPECT_TRUE(strings("loadPlugin -quiet TulvexMayaPlugin").empty());
    EXPECT_TRUE(mayahost::takeScriptWarnings().empty());
    EXPECT_NE(MGlobal::executeCommand("loadPlugin \"NoSuchPlugin\""), MStatus::kSuccess);
    EXPECT_EQ(
        mayahost::takeScriptErrors(),
        std::vector<std::string>{"Plug-in, \"NoSuchPlugin\", was not found on MAYA_PLUG_IN_PATH."});
    EXPECT_NE(MGlobal::executeCommand("pluginInfo -loaded TulvexMayaPlugin"), MStatus::kSuccess);
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Flag '-loaded' cannot be used in create mode."});

    EXPECT_EQ(strings("unloadPlugin TulvexMayaPlugin"),
              std::vector<std::string>{"TulvexMayaPlugin"});
    mLoaded = false;
    EXPECT_EQ(number("pluginInfo -q -loaded TulvexMayaPlugin"), 0);
    EXPECT_EQ(number("pluginInfo -q -registered TulvexMayaPlugin"), 1);
    EXPECT_TRUE(strings("unloadPlugin TulvexMayaPlugin").empty());
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>{"Plug-in, \"TulvexMayaPlugin\", is not loaded."});
}

TEST_F(PluginMel, TheCharacterizeCommandFailsTheStatementThatCallsItWrongly) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::takeScriptErrors();
    EXPECT_NE(MGlobal::executeCommand("TulvexDidCharacterize time1; print \"after\""),
              MStatus::kSuccess);
    EXPECT_EQ(mayahost::takeScriptOutput(), "") << "the failure stopped the script";
    EXPECT_EQ(mayahost::takeDisplayedErrors(),
              std::vector<std::string>{"Node is not of type TulvexDeviceNode"});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty()) << "the command said it already";
    int caught = 0;
    ASSERT_TRUE(MGlobal::executeCommand("catch(`TulvexDidCharacterize`)", caught));
    EXPECT_EQ(caught, 1);
}

}  // namespace
}  // namespace plugintest
