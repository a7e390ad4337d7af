// HumanIK: a streamed skeleton bound from its panel becomes a HumanIK character, drives a
// character of the user's, and a recorded take played on it bakes onto that character.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

constexpr const char* kOurs = "tulvexCharacter0_HIK";

void show(const char* what, const std::vector<std::string>& calls) {
    std::printf("HumanIK calls of %s:\n", what);
    for (const std::string& call : calls) {
        std::printf("  %s\n", call.c_str());
    }
}

int takeCurves() {
    int count = 0;
    for (const std::string& name : mayahost::animCurveNames()) {
        count += name.rfind("tulvexCharacter0_Skeleton_", 0) == 0 ? 1 : 0;
    }
    return count;
}

class HumanIKFlow : public FlowTest {
protected:
    // The HumanIK calls recorded since the last time, in order.
    static std::vector<std::string> takeHikCalls() {
        std::vector<std::string> calls = melList("global string $gHostHikCalls[]; $gHostHikCalls");
        mel("global string $gHostHikCalls[]; clear($gHostHikCalls)");
        return calls;
    }
    // A character of the user's: fifteen joints in the required slots, locked.
    static void makeCharacter(const std::string& name) {
        EXPECT_EQ(mel("hikCreateCharacter(\"" + name + "\")"), name);
        for (int slot = 1; slot <= 15; ++slot) {
            const std::string joint = name + "_j" + std::to_string(slot);
            mel("createNode -name \"" + joint + "\" joint");
            std::string assign = "hikSetCharacterObject(\"" + joint + "\", \"";
            assign += name + "\", " + std::to_string(slot) + ", 0)";
            mel(assign);
        }
        mel("hikCharacterLock(\"" + name + "\", 1, 1)");
    }
    static void makeHero() { makeCharacter("Hero"); }
    static std::string inputOf(const std::string& character) {
        return mel("hikGetRetargetCharacterInput(\"" + character + "\")");
    }
    // What the scene keeps of a device's choice: "target;earlier input", or "" for none.
    static std::string savedChoice(int deviceId) {
        const std::vector<std::string> saved =
            melList("fileInfo -q tulvexDrive" + std::to_string(deviceId));
        return saved.empty() ? std::string() : saved.front();
    }
    static mayahost::UiOutcome choose(int deviceId, const std::string& label) {
        std::string why;
        const mayahost::UiOutcome outcome =
            mayahost::uiChooseMenuItem(panelControlName("drive", deviceId), label, &why);
        EXPECT_EQ(outcome, mayahost::UiOutcome::Done) << label << ": " << why;
        return outcome;
    }
};

TEST_F(HumanIKFlow, BindCharacterisesDriveFollowsAndTheTakeBakesOntoTheCharacter) {
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    const std::vector<std::string> bind = takeHikCalls();
    show("Bind", bind);
    ASSERT_FALSE(bind.empty());
    EXPECT_EQ(bind.back(), "hikCharacterLock(\"tulvexCharacter0_HIK\", 1, 1)");
    EXPECT_EQ(melNumber("hikIsDefinitionLocked(\"tulvexCharacter0_HIK\")"), 1.0);
    // The stance was the rest pose the phone sent (identity rotations), not the live pose the
    // frames turn about z.
    const std::vector<std::string> stance = melList("hostHikStance(\"tulvexCharacter0_HIK\")");
    ASSERT_EQ(stance.size(), 54U);
    for (std::size_t i = 1; i < stance.size(); i += 2) {
        EXPECT_EQ(stance[i], "0 0 0") << "slot " << stance[i - 1];
    }
    // The stream still moves the skeleton.
    const double before = melNumber("getAttr tulvexCharacter0_Skeleton_head.rotateZ");
    ASSERT_TRUE(pumpUntil(
        [&] { return melNumber("getAttr tulvexCharacter0_Skeleton_head.rotateZ") != before; }));

    makeHero();
    takeHikCalls();
    mel("tulvexDriveCharacter 0 \"Hero\"");
    const std::vector<std::string> drive = takeHikCalls();
    show("Drive character", drive);
    ASSERT_FALSE(drive.empty());
    EXPECT_EQ(drive.back(), "hikSetCharacterInput(\"Hero\", \"tulvexCharacter0_HIK\")");
    EXPECT_EQ(mel("hikGetRetargetCharacterInput(\"Hero\")"), kOurs);

    // A take, played on our skeleton, then baked onto Hero over the take's range.
    click(panelControlName("recording", 0));
    playFor(std::chrono::seconds(1));
    click(panelControlName("recording", 0));
    ASSERT_TRUE(pumpUntil([] { return takeCurves() == 162; })) << takeCurves() << " curves";
    click(panelControlName("playTake", 0));
    const double first = melNumber("playbackOptions -query -minTime");
    const double last = melNumber("playbackOptions -query -maxTime");
    ASSERT_GT(last, first);
    mel("tulvexBakeToCharacter 0");
    EXPECT_EQ(mel("hikGetRetargetCharacterInput(\"Hero\")"), "");
    // Slot 9, LeftArm, is our l_up_arm: Hero's curve has a key on every frame of the range,
    // holding the take's value there.
    const std::vector<mayahost::CurveKey> baked = mayahost::animCurveKeys("Hero_j9_rotateZ");
    ASSERT_EQ(baked.size(), static_cast<std::size_t>(last - first + 1));
    const std::vector<mayahost::CurveKey> take =
        mayahost::animCurveKeys("tulvexCharacter0_Skeleton_l_up_arm_rz");
    for (const mayahost::CurveKey& key : baked) {
        for (const mayahost::CurveKey& sample : take) {
            if (sample.time == key.time) {
                EXPECT_NEAR(key.value, sample.value, 1e-3) << "frame " << key.time;
            }
        }
    }
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{});
}

// The panel's menu: characters made after the panel are there when it opens, a namespaced one
// and a translated "None" of several words work, "None" gives back the earlier input, and
// the choice lives in the scene's file info, which a panel built again shows.
TEST_F(HumanIKFlow, TheDriveMenuListsChoosesGivesBackAndIsKeptWithTheScene) {
    mayahost::setLocalizedString("TulvexMayaPlugin", "kTulvexDriveNone", "No character");
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(panelControl("drive", 0).items, std::vector<std::string>{"No character"});
    makeCharacter("rig:Hero");
    makeCharacter("Villain");
    mel("hikSetCharacterInput(\"Villain\", \"rig:Hero\")");

    takeHikCalls();
    choose(0, "rig:Hero");
    const std::vector<std::string> drive = takeHikCalls();
    show("Drive character from the panel", drive);
    ASSERT_FALSE(drive.empty());
    EXPECT_EQ(drive.back(), "hikSetCharacterInput(\"rig:Hero\", \"tulvexCharacter0_HIK\")");
    EXPECT_EQ(panelControl("drive", 0).items,
              (std::vector<std::string>{"No character", "rig:Hero", "Villain"}));
    EXPECT_EQ(inputOf("rig:Hero"), kOurs);
    EXPECT_EQ(savedChoice(0), "rig:Hero;");
    choose(0, "Villain");
    EXPECT_EQ(inputOf("rig:Hero"), "");
    EXPECT_EQ(inputOf("Villain"), kOurs);
    EXPECT_EQ(savedChoice(0), "Villain;rig:Hero");

    // The panel built again shows the choice the scene keeps.
    mel("tulvexOpenPanel tulvexDevice0");
    EXPECT_EQ(panelControl("drive", 0).chosen, "Villain");
    choose(0, "No character");
    EXPECT_EQ(inputOf("Villain"), "rig:Hero") << "None gives the earlier input back";
    EXPECT_EQ(savedChoice(0), "");
    EXPECT_EQ(panelControl("drive", 0).chosen, "No character");

    // Following us with no choice kept (as after an undone bake): None then leaves it no
    // input, not our character again.
    mel(std::string("hikSetCharacterInput(\"Villain\", \"") + kOurs + "\")");
    choose(0, "Villain");
    choose(0, "No character");
    EXPECT_EQ(inputOf("Villain"), "");
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{});
}

// Two devices drive two characters; a character one drives is not offered to the other, and a
// script that moves it over leaves the first device driving nothing.
TEST_F(HumanIKFlow, TwoDevicesDriveTwoCharacters) {
    loadPlugin();
    streamAndBind(0);
    streamAndBind(1);
    ASSERT_FALSE(HasFailure());
    makeCharacter("Hero");
    makeCharacter("Villain");
    choose(0, "Hero");
    choose(1, "Villain");
    EXPECT_EQ(panelControl("drive", 1).items, (std::vector<std::string>{"None", "Villain"}));
    EXPECT_EQ(inputOf("Hero"), "tulvexCharacter0_HIK");
    EXPECT_EQ(inputOf("Villain"), "tulvexCharacter1_HIK");
    EXPECT_EQ(melList("fileInfo -q"),
              (std::vector<std::string>{"tulvexDrive0", "Hero;", "tulvexDrive1", "Villain;"}));

    mel("tulvexDriveCharacter 1 \"Hero\"");
    idle();
    EXPECT_EQ(inputOf("Hero"), "tulvexCharacter1_HIK");
    EXPECT_EQ(inputOf("Villain"), "");
    EXPECT_EQ(savedChoice(0), "");
    EXPECT_EQ(panelControl("drive", 0).chosen, "None");
    EXPECT_EQ(panelControl("drive", 1).chosen, "Hero");
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{});
}

}  // namespace
}  // namespace flowtest
