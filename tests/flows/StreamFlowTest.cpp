// Stream: Live ticked in the panel, a phone streams, the message line says the skeleton came
// and Bind comes on; Bind builds the 27-joint skeleton driven by the node and goes off; a new
// definition from the phone and Bind again replace the skeleton. Run with either answer to
// whether editing a check box runs its commands, since Maya does not say.
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

class StreamFlow : public FlowTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        mayahost::setCheckBoxEditRunsCommands(GetParam());
    }
    static double value(const std::string& plug) { return melNumber("getAttr " + plug); }
};

TEST_P(StreamFlow, BindBuildsASkeletonTheStreamDrivesAndRebindReplacesIt) {
    loadPlugin();
    const std::string node = streamAndBind();
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(panelControl("message", 0).caption,
              "Bound: tulvexCharacter0_Skeleton follows the phone, as HumanIK character "
              "tulvexCharacter0_HIK");
    EXPECT_TRUE(panelControl("live", 0).value);
    EXPECT_EQ(mel("getAttr " + node + ".live"), "1");

    // The skeleton: 27 joints in their hierarchy under the group, each driven by the node.
    EXPECT_EQ(melList("ls -type joint").size(), 27U);
    EXPECT_EQ(melList("ls -long tulvexCharacter0_Skeleton_head"),
              std::vector<std::string>{
                  "|tulvexCharacter0_Skeleton|tulvexCharacter0_Skeleton_root"
                  "|tulvexCharacter0_Skeleton_torso_1|tulvexCharacter0_Skeleton_torso_2"
                  "|tulvexCharacter0_Skeleton_torso_3|tulvexCharacter0_Skeleton_torso_4"
                  "|tulvexCharacter0_Skeleton_torso_5|tulvexCharacter0_Skeleton_torso_6"
                  "|tulvexCharacter0_Skeleton_torso_7|tulvexCharacter0_Skeleton_neck_1"
                  "|tulvexCharacter0_Skeleton_neck_2|tulvexCharacter0_Skeleton_head"});
    EXPECT_EQ(melList("listConnections -s 1 -d 0 -scn 1 -p 1 tulvexCharacter0_Skeleton_head.t"),
              std::vector<std::string>{node + ".outputTranslations[10]"});
    EXPECT_EQ(mel("getAttr tulvexCharacter0_Skeleton_head.rotateOrder"), "0");
    EXPECT_FALSE(panelControl("bind", 0).enabled) << "bound: Bind goes off";

    // Frames move the root; the other joints sit at the definition's rest translation (the
    // phone's metres in centimetres).
    const double first = value("tulvexCharacter0_Skeleton_root.tx");
    EXPECT_TRUE(pumpUntil([&] {
        return value("tulvexCharacter0_Skeleton_root.tx") > first + 0.05;
    })) << "the root does not follow the frames";
    EXPECT_NEAR(value("tulvexCharacter0_Skeleton_torso_1.tx"), 25.0, 1e-4);
    EXPECT_NEAR(value("tulvexCharacter0_Skeleton_torso_1.ty"), 5.0, 1e-4);

    // A new definition asks for Bind again; binding again replaces the skeleton.
    mPhone->redefine(0.5F);
    ASSERT_TRUE(pumpUntil([] { return panelControl("bind", 0).enabled; }));
    click(panelControlName("bind", 0));
    idle();
    EXPECT_EQ(melList("ls \"tulvexCharacter0_Skeleton*\"").size(), 28U) << "no second skeleton";
    EXPECT_FALSE(panelControl("bind", 0).enabled);
    EXPECT_TRUE(pumpUntil([] { return value("tulvexCharacter0_Skeleton_torso_1.tx") > 49.9; }));
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    EXPECT_TRUE(mayahost::takeScriptWarnings().empty());
}

INSTANTIATE_TEST_SUITE_P(CheckBoxEdits, StreamFlow, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& choice) {
                             return choice.param ? std::string("EditRunsCommands")
                                                 : std::string("EditRunsNothing");
                         });

}  // namespace
}  // namespace flowtest
