// Unloading as Maya does: refused while nodes of the plug-in are in the scene, nodes only the
// undo queue keeps let go of first, and the first failure of uninitializePlugin is its result.
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

#include "PluginFixture.h"

namespace plugintest {
namespace {

bool mentions(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& text : texts) {
        if (text.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(PluginTest, UnloadIsRefusedWhileANodeIsInTheSceneAndChangesNothing) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::runIdleQueue();
    const MObject node = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(node.isNull());
    mayahost::takeDisplayedErrors();
    testing::internal::CaptureStderr();
    EXPECT_NE(unload(), MStatus::kSuccess);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("failed to deregister"),
              std::string::npos)
        << "uninitializePlugin was not called";
    EXPECT_TRUE(mentions(mayahost::takeDisplayedErrors(), "is in use: 1 node(s)"));
    // Everything it registered is still there and works.
    EXPECT_EQ(MGlobal::executeCommand("TulvexDidCharacterize TulvexDeviceNode1"),
              MStatus::kSuccess);
    EXPECT_FALSE(mayahost::createNode("TulvexDeviceNode").isNull());

    // Once its nodes are gone it unloads.
    mayahost::fileNew();
    EXPECT_EQ(unload(), MStatus::kSuccess);
    EXPECT_TRUE(mayahost::createNode("TulvexDeviceNode").isNull());
}

TEST_F(PluginTest, ANodeOnlyInTheUndoQueueIsLetGoAndTheUnloadGoesAhead) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::runIdleQueue();
    const MObject node = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(node.isNull());
    ASSERT_EQ(mayahost::deleteNode(node), MStatus::kSuccess);
    testing::internal::CaptureStderr();
    EXPECT_EQ(unload(), MStatus::kSuccess);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(mayahost::undo()) << "the queue was flushed: nothing left to bring back";
    EXPECT_TRUE(mayahost::createNode("TulvexDeviceNode").isNull());
}

TEST_F(PluginTest, AFailedNodeDeregistrationIsTheUnloadsResultThoughTheCommandsGo) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::failNext(mayahost::HostCall::DeregisterNode);
    testing::internal::CaptureStderr();
    EXPECT_NE(unload(), MStatus::kSuccess) << "a later success does not hide it";
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("failed to deregisterNode TulvexDeviceNode"),
        std::string::npos);
    EXPECT_NE(MGlobal::executeCommand("TulvexDidCharacterize x"), MStatus::kSuccess);
    mayahost::takeScriptErrors();
}

}  // namespace
}  // namespace plugintest
