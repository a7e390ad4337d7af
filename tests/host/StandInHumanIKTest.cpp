// The stand-in's HumanIK: `loadPlugin mayaHIK` defines Maya's HumanIK procedures, which check
// their arguments as Maya's do and keep what later calls query; a test can make it missing.
#include <string>
#include <vector>

#include "MelFixture.h"

namespace {

class StandInHumanIK : public MelHostTest {
protected:
    void SetUp() override {
        MelHostTest::SetUp();
        mel("loadPlugin mayaHIK");
        for (int i = 0; i < 17; ++i) {
            mel("createNode -name j" + std::to_string(i) + " joint");
        }
    }
    static bool runs(const std::string& command) {
        const bool ok = MGlobal::executeCommand(command.c_str()) == MStatus::kSuccess;
        mayahost::takeScriptErrors();
        return ok;
    }
};

TEST_F(StandInHumanIK, ItRefusesWhatMayaRefusesAndKeepsWhatLaterCallsAsk) {
    EXPECT_EQ(number("pluginInfo -query -loaded mayaHIK"), 1);
    EXPECT_EQ(mel("hikCreateCharacter(\"c\")"), "c");
    EXPECT_EQ(mel("hikCreateCharacter(\"c\")"), "c1") << "a taken name gets a number";
    EXPECT_EQ(mel("hikCreateCharacter(\"j0\")"), "j01") << "a node's name is taken too";
    EXPECT_FALSE(runs("hikSetCharacterObject(\"j0\", \"nobody\", 1, 0)"));
    EXPECT_FALSE(runs("hikSetCharacterObject(\"j0\", \"c\", -1, 0)"));
    EXPECT_FALSE(runs("hikSetCharacterObject(\"j0\", \"c\", 200, 0)"));
    EXPECT_FALSE(runs("hikSetCharacterObject(\"nothing\", \"c\", 1, 0)"));
    EXPECT_TRUE(runs("hikSetCharacterObject(\"j1\", \"c\", 1, 0)"));
    EXPECT_FALSE(runs("hikSetCharacterObject(\"j1\", \"c\", 2, 0)")) << "a joint in two slots";
    EXPECT_FALSE(runs("hikSetCharacterObject(\"j2\", \"c\", 1, 0)")) << "a slot with two joints";
    // Fourteen of the fifteen required slots, and an optional one, do not lock.
    for (int slot = 2; slot <= 14; ++slot) {
        ASSERT_TRUE(runs("hikSetCharacterObject(\"j" + std::to_string(slot) + "\", \"c\", " +
                         std::to_string(slot) + ", 0)"));
    }
    ASSERT_TRUE(runs("hikSetCharacterObject(\"j16\", \"c\", 16, 0)"));
    EXPECT_FALSE(runs("hikCharacterLock(\"c\", 1, 1)"));
    EXPECT_EQ(number("hikIsDefinitionLocked(\"c\")"), 0);
    EXPECT_FALSE(runs("hikSetCharacterInput(\"c1\", \"c\")")) << "an unlocked source";
    ASSERT_TRUE(runs("hikSetCharacterObject(\"j15\", \"c\", 15, 0)"));
    // Validation reads the pose the joints are in.
    mel("setAttr j9.rotate 0 0 90");
    EXPECT_TRUE(runs("hikCharacterLock(\"c\", 1, 1)"));
    EXPECT_EQ(number("hikIsDefinitionLocked(\"c\")"), 1);
    const std::vector<std::string> stance = list("hostHikStance(\"c\")");
    ASSERT_EQ(stance.size(), 32U);
    EXPECT_EQ(stance[16], "9");
    EXPECT_EQ(stance[17], "0 0 90");
    EXPECT_FALSE(runs("hikSetCharacterObject(\"j0\", \"c\", 18, 0)")) << "a locked definition";

    EXPECT_TRUE(runs("hikSetCharacterInput(\"c1\", \"c\")"));
    EXPECT_EQ(mel("hikGetRetargetCharacterInput(\"c1\")"), "c");
    EXPECT_FALSE(runs("hikSetCharacterInput(\"c\", \"c\")"));
    // A deleted source leaves no input behind.
    EXPECT_TRUE(runs("hikDeleteCharacter(\"c\")"));
    EXPECT_EQ(mel("hikGetRetargetCharacterInput(\"c1\")"), "");
    EXPECT_EQ(list("hikGetSceneCharacters()"), (std::vector<std::string>{"c1", "j01"}));
    EXPECT_FALSE(runs("hikDeleteCharacter(\"c\")"));
    // Every call was recorded, the refused ones too.
    const std::vector<std::string> calls = list("global string $gHostHikCalls[]; $gHostHikCalls");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "hikCreateCharacter(\"c\")");
    EXPECT_EQ(calls.back(), "hikDeleteCharacter(\"c\")");
}

TEST_F(MelHostTest, ALoadOfHumanIKMadeToFailDefinesNothing) {
    mayahost::setHumanIKAvailable(false);
    EXPECT_NE(failure("loadPlugin mayaHIK").find("\"mayaHIK\", was not found"), std::string::npos);
    EXPECT_EQ(number("pluginInfo -query -loaded mayaHIK"), 0);
    EXPECT_EQ(number("exists hikCreateCharacter"), 0);
    mayahost::setHumanIKAvailable(true);
    mel("loadPlugin mayaHIK");
    EXPECT_EQ(number("pluginInfo -query -loaded mayaCharacterization"), 0);
    EXPECT_EQ(number("exists hikCreateCharacter"), 1);
    EXPECT_EQ(mel("loadPlugin -quiet mayaHIK mayaCharacterization"), "mayaCharacterization");
}

}  // namespace
