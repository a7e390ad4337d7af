// "TulvexDidCharacterize" run as the scripts run it, through MEL in the stand-in host.
#include <maya/MGlobal.h>

#include "PluginFixture.h"

namespace plugintest {
namespace {

const char* const kArgumentError =
    "This command expects exactly one argument: the name of the node";
const char* const kTypeError = "Node is not of type TulvexDeviceNode";

class CharacterizeCommandTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_EQ(load(), MStatus::kSuccess);
        mayahost::takeIdleCommands();
        mayahost::takeDisplayedErrors();
    }
    MStatus run(const std::string& text) { return MGlobal::executeCommand(MString(text.c_str())); }
};

TEST_F(CharacterizeCommandTest, NeedsExactlyOneArgument) {
    EXPECT_EQ(run("TulvexDidCharacterize"), MStatus::kFailure);
    EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kArgumentError});
    EXPECT_EQ(run("TulvexDidCharacterize a b"), MStatus::kFailure);
    EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kArgumentError});
}

TEST_F(CharacterizeCommandTest, RefusesNodesOfAnyOtherKind) {
    ASSERT_FALSE(mayahost::createNode("transform", "someTransform").isNull());
    EXPECT_EQ(run("TulvexDidCharacterize someTransform"), MStatus::kFailure);
    EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kTypeError});
    EXPECT_EQ(run("TulvexDidCharacterize noSuchNode"), MStatus::kFailure);
    EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kTypeError});
}

TEST_F(CharacterizeCommandTest, SucceedsOnADeviceNodeAsOftenAsItIsRun) {
    ASSERT_FALSE(mayahost::createNode("TulvexDeviceNode", "performerA").isNull());
    EXPECT_EQ(run("TulvexDidCharacterize performerA"), MStatus::kSuccess);
    EXPECT_EQ(run("TulvexDidCharacterize \"performerA\""), MStatus::kSuccess);
    EXPECT_TRUE(mayahost::takeDisplayedErrors().empty());
}

}  // namespace
}  // namespace plugintest
