// Scene: node names, selection by name, function sets on nodes, node deletion, scene messages.
#define MNoVersionString
#include <maya/MCallbackIdArray.h>
#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxNode.h>
#include <maya/MSceneMessage.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

class SceneNode : public MPxNode {
public:
    SceneNode() : constructedObject(thisMObject()) { ++alive; }
    ~SceneNode() override { --alive; }
    static void* creator() { return new SceneNode; }
    static MStatus initialize() { return MStatus::kSuccess; }
    void postConstructor() override {
        postObject = thisMObject();
        postName = name().asChar();
    }

    static MTypeId id;
    static int alive;  // test thread only: instances not destroyed yet
    MObject constructedObject;
    MObject postObject;
    std::string postName;
};

MTypeId SceneNode::id(0x7f002);
int SceneNode::alive = 0;

class SceneTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        SceneNode::alive = 0;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostSceneNode", SceneNode::id, SceneNode::creator,
                                    SceneNode::initialize));
    }
};

TEST_F(SceneTest, NodesGetUniqueNames) {
    MObject first = mayahost::createNode("hostSceneNode");
    MObject second = mayahost::createNode("hostSceneNode");
    EXPECT_EQ(mayahost::nodeName(first), "hostSceneNode1");
    EXPECT_EQ(mayahost::nodeName(second), "hostSceneNode2");
    EXPECT_EQ(mayahost::nodeName(mayahost::createNode("hostSceneNode", "rig")), "rig");
    EXPECT_EQ(mayahost::nodeName(mayahost::createNode("hostSceneNode", "rig")), "rig1");

    MFnDependencyNode fn(second);
    MStatus status;
    EXPECT_EQ(std::string(fn.setName("rig", false, &status).asChar()), "rig2");
    EXPECT_TRUE(status);
    EXPECT_EQ(std::string(fn.setName("free", false, &status).asChar()), "free");
    EXPECT_EQ(mayahost::nodeName(second), "free");
    EXPECT_EQ(mayahost::nodeNames(),
              (std::vector<std::string>{"time1", "hostSceneNode1", "free", "rig", "rig1"}));
    fn.setName("", false, &status);
    EXPECT_FALSE(status);
}

TEST_F(SceneTest, UnknownTypeMakesNoNode) {
    EXPECT_TRUE(mayahost::createNode("noSuchType").isNull());
    MFnDependencyNode fn;
    MStatus status;
    EXPECT_TRUE(fn.create("noSuchType", &status).isNull());
    EXPECT_FALSE(status);
    EXPECT_EQ(mayahost::nodeNames(), std::vector<std::string>{"time1"});
}

TEST_F(SceneTest, SelectionListFindsNodesByExactName) {
    MObject node = mayahost::createNode("hostSceneNode", "target");
    mayahost::createNode("hostSceneNode", "target2");
    MSelectionList list;
    ASSERT_TRUE(list.add("target"));
    ASSERT_EQ(list.length(), 1U);
    MObject found;
    ASSERT_TRUE(list.getDependNode(0, found));
    EXPECT_TRUE(found == node);

    EXPECT_FALSE(list.add("targ"));
    EXPECT_FALSE(list.add("target*2"));
    EXPECT_EQ(list.length(), 1U);

    MSelectionList empty;
    MObject none;
    EXPECT_FALSE(empty.getDependNode(0, none));
    EXPECT_TRUE(none.isNull());

    MSelectionList byName;
    ASSERT_TRUE(MGlobal::getSelectionListByName("target2", byName));
    ASSERT_TRUE(byName.getDependNode(0, found));
    EXPECT_EQ(mayahost::nodeName(found), "target2");
    EXPECT_FALSE(MGlobal::getSelectionListByName("missing", byName));
    EXPECT_EQ(byName.length(), 1U);
}

TEST_F(SceneTest, DependencyNodeFunctionSetDescribesPluginAndBuiltInNodes) {
    MObject node = mayahost::createNode("hostSceneNode");
    MFnDependencyNode fn(node);
    EXPECT_EQ(std::string(fn.typeName().asChar()), "hostSceneNode");
    EXPECT_EQ(fn.typeId(), SceneNode::id);
    EXPECT_TRUE(fn.hasAttribute("message"));
    EXPECT_FALSE(fn.hasAttribute("live"));  // not a device node
    MStatus status;
    EXPECT_TRUE(fn.findPlug("nothing", false, &status).isNull());
    EXPECT_FALSE(status);
    EXPECT_EQ(fn.userNode(), mayahost::userNode(node));
    EXPECT_NE(fn.userNode(), nullptr);
    EXPECT_TRUE(node.hasFn(MFn::kDependencyNode));
    EXPECT_EQ(node.apiType(), MFn::kPluginDependNode);

    MFnDependencyNode transform;
    MObject t = transform.create("transform", &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(mayahost::nodeName(t), "transform1");
    EXPECT_EQ(transform.userNode(&status), nullptr);
    EXPECT_FALSE(status);
    EXPECT_TRUE(t.hasFn(MFn::kTransform));
    EXPECT_TRUE(transform.findPlug("tx", false).setDouble(2.0));

    MFnDependencyNode wrong(MFnDependencyNode(t).findPlug("tx", false).attribute(), &status);
    EXPECT_FALSE(status);  // an attribute is not a dependency node
}

TEST_F(SceneTest, ThisMObjectWorksFromPostConstructorOn) {
    MObject node = mayahost::createNode("hostSceneNode", "probe");
    auto* user = static_cast<SceneNode*>(mayahost::userNode(node));
    ASSERT_NE(user, nullptr);
    EXPECT_TRUE(user->constructedObject.isNull());
    EXPECT_TRUE(user->postObject == node);
    EXPECT_EQ(user->postName, "probe");
    EXPECT_EQ(std::string(user->name().asChar()), "probe");
    EXPECT_EQ(user->typeId(), SceneNode::id);
    EXPECT_EQ(std::string(user->typeName().asChar()), "hostSceneNode");
}

TEST_F(SceneTest, ModifierDeletesANodeOnlyAtDoIt) {
    MObject node = mayahost::createNode("hostSceneNode", "doomed");
    ASSERT_EQ(SceneNode::alive, 1);
    MDGModifier modifier;
    ASSERT_TRUE(modifier.deleteNode(node));
    EXPECT_FALSE(mayahost::findNode("doomed").isNull());
    ASSERT_TRUE(modifier.doIt());
    EXPECT_TRUE(mayahost::findNode("doomed").isNull());
    EXPECT_EQ(mayahost::userNode(node), nullptr);
    EXPECT_EQ(SceneNode::alive, 1) << "kept on the undo queue, not destroyed";
    MFnDependencyNode fn;
    EXPECT_FALSE(fn.setObject(MObject()));
    MStatus status;
    MFnDependencyNode stale(node);
    stale.name(&status);
    EXPECT_FALSE(status);
    EXPECT_FALSE(mayahost::deleteNode(node));  // already gone
    EXPECT_FALSE(modifier.deleteNode(MObject()));
    mayahost::flushUndo();
    EXPECT_EQ(SceneNode::alive, 0);
}

TEST_F(SceneTest, ModifierUndoRemovesTheNodesItCreated) {
    MDGModifier modifier;
    MStatus status;
    MObject node = modifier.createNode("hostSceneNode", &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(SceneNode::alive, 1);
    EXPECT_EQ(mayahost::nodeName(node), "hostSceneNode1");
    ASSERT_TRUE(modifier.undoIt());
    EXPECT_EQ(mayahost::userNode(node), nullptr);
    mayahost::flushUndo();
    EXPECT_EQ(SceneNode::alive, 0);
    EXPECT_TRUE(modifier.createNode("noSuchType", &status).isNull());
    EXPECT_FALSE(status);
}

struct CallbackLog {
    std::vector<std::string> seen;
};

TEST_F(SceneTest, FileNewRunsBeforeNewCallbacksThenEmptiesTheSceneButTime1) {
    mayahost::createNode("hostSceneNode", "a");
    mayahost::createNode("transform");
    CallbackLog log;
    MStatus status;
    const MCallbackId id = MSceneMessage::addCallback(
        MSceneMessage::kBeforeNew,
        [](void* data) {
            // Still there while the callback runs.
            static_cast<CallbackLog*>(data)->seen.push_back(
                mayahost::findNode("a").isNull() ? "gone" : "present");
        },
        &log, &status);
    ASSERT_TRUE(status);
    const MCallbackId other = MSceneMessage::addCallback(
        MSceneMessage::kMayaExiting, [](void*) {}, nullptr);
    EXPECT_NE(id, other);

    mayahost::fileNew();
    EXPECT_EQ(log.seen, std::vector<std::string>{"present"});
    EXPECT_EQ(mayahost::nodeNames(), std::vector<std::string>{"time1"});
    EXPECT_EQ(SceneNode::alive, 0);

    ASSERT_TRUE(MMessage::removeCallback(id));
    EXPECT_FALSE(MMessage::removeCallback(id));
    mayahost::fileNew();
    EXPECT_EQ(log.seen.size(), 1U);
}

TEST_F(SceneTest, FileOpenNamesTheSceneBetweenBeforeAndAfterOpenCallbacks) {
    mayahost::createNode("hostSceneNode", "old");
    CallbackLog log;
    const auto note = [](void* data) {
        const MString name = MGlobal::executeCommandStringResult("file -q -sceneName");
        static_cast<CallbackLog*>(data)->seen.push_back(
            std::string(name.asChar()) + (mayahost::findNode("read").isNull() ? "" : " read"));
    };
    MSceneMessage::addCallback(MSceneMessage::kBeforeOpen, note, &log);
    MSceneMessage::addCallback(MSceneMessage::kAfterOpen, note, &log);

    MGlobal::executeCommand("file -rename \"/p/scenes/a.ma\"");
    mayahost::fileOpen("/p/scenes/b.ma", [] { mayahost::createNode("hostSceneNode", "read"); });
    EXPECT_EQ(log.seen, (std::vector<std::string>{"/p/scenes/a.ma", "/p/scenes/b.ma read"}));
    EXPECT_TRUE(mayahost::findNode("old").isNull());
    mayahost::fileNew();
    EXPECT_EQ(MGlobal::executeCommandStringResult("file -q -sceneName"), MString(""));
    EXPECT_NE(MGlobal::executeCommand("file -new -rename \"x.ma\""), MStatus::kSuccess);
}

TEST_F(SceneTest, ExitRunsExitingCallbacksAndDeletesEverything) {
    mayahost::createNode("hostSceneNode");
    int exiting = 0;
    MSceneMessage::addCallback(
        MSceneMessage::kMayaExiting, [](void* data) { ++*static_cast<int*>(data); }, &exiting);
    MSceneMessage::addCallback(
        MSceneMessage::kBeforeNew, [](void* data) { *static_cast<int*>(data) += 100; }, &exiting);
    mayahost::exitHost();
    EXPECT_EQ(exiting, 1);
    EXPECT_EQ(SceneNode::alive, 0);
    EXPECT_TRUE(mayahost::findNode("time1").isNull());
}

TEST_F(SceneTest, RemovingSeveralCallbacksReportsUnknownIds) {
    MCallbackIdArray ids;
    ids.append(MSceneMessage::addCallback(MSceneMessage::kBeforeNew, [](void*) {}));
    ids.append(MSceneMessage::addCallback(MSceneMessage::kAfterNew, [](void*) {}));
    EXPECT_TRUE(MMessage::removeCallbacks(ids));
    EXPECT_FALSE(MMessage::removeCallbacks(ids));
    MStatus status;
    EXPECT_EQ(MSceneMessage::addCallback(MSceneMessage::kBeforeNew, nullptr, nullptr, &status), 0U);
    EXPECT_FALSE(status);
}

}  // namespace
