// The scripts make a bound skeleton a HumanIK character through the stand-in's HumanIK
// procedures: the slot table against HumanIK's numbers, the calls Bind makes, the stance the
// lock reads, a second Bind, and a Maya without HumanIK.
#include <gtest/gtest.h>
#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <mayahost/HostControl.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// HumanIK's slot numbers, by slot name.
const std::map<std::string, int> kSlotNumbers = {
    {"Hips", 1},          {"LeftUpLeg", 2},     {"LeftLeg", 3},        {"LeftFoot", 4},
    {"RightUpLeg", 5},    {"RightLeg", 6},      {"RightFoot", 7},      {"Spine", 8},
    {"LeftArm", 9},       {"LeftForeArm", 10},  {"LeftHand", 11},      {"RightArm", 12},
    {"RightForeArm", 13}, {"RightHand", 14},    {"Head", 15},          {"LeftToeBase", 16},
    {"RightToeBase", 17}, {"LeftShoulder", 18}, {"RightShoulder", 19}, {"Neck", 20},
    {"Spine1", 23},       {"Spine2", 24},       {"Spine3", 25},        {"Spine4", 26},
    {"Spine5", 27},       {"Spine6", 28},       {"Neck1", 32}};

// Our bones and the slot each takes.
const std::map<std::string, std::string> kBoneSlots = {
    {"root", "Hips"},          {"torso_1", "Spine"},
    {"torso_2", "Spine1"},     {"torso_3", "Spine2"},
    {"torso_4", "Spine3"},     {"torso_5", "Spine4"},
    {"torso_6", "Spine5"},     {"torso_7", "Spine6"},
    {"neck_1", "Neck"},        {"neck_2", "Neck1"},
    {"head", "Head"},          {"l_shoulder", "LeftShoulder"},
    {"l_up_arm", "LeftArm"},   {"l_low_arm", "LeftForeArm"},
    {"l_hand", "LeftHand"},    {"r_shoulder", "RightShoulder"},
    {"r_up_arm", "RightArm"},  {"r_low_arm", "RightForeArm"},
    {"r_hand", "RightHand"},   {"l_up_leg", "LeftUpLeg"},
    {"l_low_leg", "LeftLeg"},  {"l_foot", "LeftFoot"},
    {"l_toes", "LeftToeBase"}, {"r_up_leg", "RightUpLeg"},
    {"r_low_leg", "RightLeg"}, {"r_foot", "RightFoot"},
    {"r_toes", "RightToeBase"}};

std::vector<std::string> strings(const std::string& command) {
    MStringArray result;
    EXPECT_TRUE(MGlobal::executeCommand(command.c_str(), result)) << command;
    std::vector<std::string> texts;
    for (unsigned int i = 0; i < result.length(); ++i) {
        texts.emplace_back(result[i].asChar());
    }
    return texts;
}

std::string text(const std::string& command) {
    MString result;
    EXPECT_TRUE(MGlobal::executeCommand(command.c_str(), result)) << command;
    return result.asChar();
}

int number(const std::string& command) {
    int result = 0;
    EXPECT_TRUE(MGlobal::executeCommand(command.c_str(), result)) << command;
    return result;
}

std::vector<std::string> hikCalls() {
    return strings("global string $gHostHikCalls[]; $gHostHikCalls");
}

void clearHikCalls() {
    ASSERT_TRUE(MGlobal::executeCommand("global string $gHostHikCalls[]; clear($gHostHikCalls)"));
}

class HumanIKScripts : public ::testing::Test {
protected:
    void SetUp() override {
        mayahost::resetHost();
        mayahost::setScriptEcho(false);
        mayahost::setScriptPath({TULVEX_STAGED_SCRIPTS_DIR});
        ASSERT_EQ(mayahost::loadPlugin(TULVEX_TEST_PLUGIN_MODULE), MStatus::kSuccess);
        while (mayahost::runIdleQueue() > 0) {
        }
    }
    void TearDown() override {
        mayahost::exitHost();
        mayahost::unloadPlugin(TULVEX_TEST_PLUGIN_MODULE);
        mayahost::resetHost();
    }
    // A device node made as the shelf makes it, bound from its panel's callback.
    static std::string bindNewDevice() {
        std::string node = text("tulvexCreateDeviceNode()");
        const int id = number("getAttr " + node + ".deviceId");
        EXPECT_EQ(MGlobal::executeCommand(("tulvexBindPressed " + std::to_string(id)).c_str()),
                  MStatus::kSuccess);
        return node;
    }
    static std::string message(int deviceId) {
        return text("global string $gTulvexMessages[]; $gTulvexMessages[" +
                    std::to_string(deviceId) + "]");
    }
};

TEST_F(HumanIKScripts, TheSlotTableGivesEachBoneItsHumanIKSlot) {
    const std::vector<std::string> bones = strings("tulvexBoneNames()");
    MIntArray slots;
    ASSERT_TRUE(MGlobal::executeCommand("tulvexHikSlots()", slots));
    ASSERT_EQ(slots.length(), bones.size());
    std::set<int> seen;
    for (unsigned int i = 0; i < slots.length(); ++i) {
        const std::string& slotName = kBoneSlots.at(bones[i]);
        EXPECT_EQ(slots[i], kSlotNumbers.at(slotName)) << bones[i] << " goes to " << slotName;
        EXPECT_TRUE(seen.insert(slots[i]).second) << "slot " << slots[i] << " twice";
    }
    for (int required = 1; required <= 15; ++required) {
        EXPECT_EQ(seen.count(required), 1U) << "required slot " << required;
    }
}

TEST_F(HumanIKScripts, BindMakesTheSkeletonACharacterLockedInItsRestPose) {
    const std::string node = bindNewDevice();
    const std::vector<std::string> calls = hikCalls();
    const std::vector<std::string> bones = strings("tulvexBoneNames()");
    MIntArray slots;
    ASSERT_TRUE(MGlobal::executeCommand("tulvexHikSlots()", slots));

    // Looked for an earlier character, made one, filled 27 slots, locked it validated.
    std::vector<std::string> expected = {"hikGetSceneCharacters()",
                                         "hikCreateCharacter(\"tulvexCharacter0_HIK\")"};
    for (unsigned int i = 0; i < bones.size(); ++i) {
        expected.push_back("hikSetCharacterObject(\"tulvexCharacter0_Skeleton_" + bones[i] +
                           "\", \"tulvexCharacter0_HIK\", " + std::to_string(slots[i]) + ", 0)");
    }
    expected.push_back("hikCharacterLock(\"tulvexCharacter0_HIK\", 1, 1)");
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(number("hikIsDefinitionLocked(\"tulvexCharacter0_HIK\")"), 1);

    // The stance the lock read is the rest pose: the default skeleton's upper arms are
    // turned level, everything else at rest is unturned.
    MDoubleArray rest;
    ASSERT_TRUE(MGlobal::executeCommand(("TulvexRestPose " + node).c_str(), rest));
    ASSERT_EQ(rest.length(), 81U);
    EXPECT_NEAR(rest[3 * 12 + 2], 90.0, 0.05);   // l_up_arm about z (0.707 in the quaternion)
    EXPECT_NEAR(rest[3 * 16 + 2], -90.0, 0.05);  // r_up_arm
    const std::vector<std::string> stance = strings("hostHikStance(\"tulvexCharacter0_HIK\")");
    ASSERT_EQ(stance.size(), 2 * bones.size());
    for (unsigned int i = 0; i < stance.size(); i += 2) {
        const int slot = std::stoi(stance[i]);
        unsigned int bone = 0;
        while (bone < slots.length() && slots[bone] != slot) {
            ++bone;
        }
        ASSERT_LT(bone, slots.length());
        double r[3] = {0, 0, 0};
        ASSERT_EQ(std::sscanf(stance[i + 1].c_str(), "%lf %lf %lf", &r[0], &r[1], &r[2]), 3);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(r[c], rest[3 * bone + c], 1e-3) << bones[bone] << " axis " << c;
        }
    }

    // The node drives every joint again, translation and rotation, straight from its outputs.
    for (unsigned int i = 0; i < bones.size(); ++i) {
        const std::string joint = "tulvexCharacter0_Skeleton_" + bones[i];
        EXPECT_EQ(strings("listConnections -source true -plugs true " + joint + ".rotate"),
                  std::vector<std::string>{node + ".outputRotations[" + std::to_string(i) + "]"})
            << joint;
        EXPECT_EQ(strings("listConnections -source true -plugs true " + joint + ".translate"),
                  std::vector<std::string>{node + ".outputTranslations[" + std::to_string(i) + "]"})
            << joint;
    }
    EXPECT_EQ(message(0),
              "Bound: tulvexCharacter0_Skeleton follows the phone, as HumanIK character "
              "tulvexCharacter0_HIK");
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{});
    EXPECT_EQ(mayahost::takeScriptWarnings(), std::vector<std::string>{});
}

TEST_F(HumanIKScripts, BindingAgainReplacesTheCharacterAndTwoDevicesHaveOneEach) {
    bindNewDevice();
    bindNewDevice();
    clearHikCalls();
    ASSERT_EQ(MGlobal::executeCommand("tulvexBindPressed 0"), MStatus::kSuccess);
    const std::vector<std::string> calls = hikCalls();
    ASSERT_GE(calls.size(), 3U);
    EXPECT_EQ(calls[1], "hikDeleteCharacter(\"tulvexCharacter0_HIK\")");
    EXPECT_EQ(calls[2], "hikCreateCharacter(\"tulvexCharacter0_HIK\")");
    EXPECT_EQ(strings("hikGetSceneCharacters()"),
              (std::vector<std::string>{"tulvexCharacter1_HIK", "tulvexCharacter0_HIK"}));
    EXPECT_EQ(number("hikIsDefinitionLocked(\"tulvexCharacter0_HIK\")"), 1);
    EXPECT_EQ(strings("hostHikDefinition(\"tulvexCharacter0_HIK\")").size(), 54U);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(HumanIKScripts, WithoutHumanIKBindWorksAsBeforeAndThePanelSaysSoOnce) {
    mayahost::setHumanIKAvailable(false);
    const std::string node = bindNewDevice();
    EXPECT_EQ(hikCalls(), std::vector<std::string>{});
    EXPECT_EQ(number("exists hikCreateCharacter"), 0);
    const std::string notice = message(0);
    EXPECT_NE(notice.find("HumanIK"), std::string::npos) << notice;
    EXPECT_NE(notice.find("Plug-in Manager"), std::string::npos) << notice;
    EXPECT_EQ(mayahost::takeScriptWarnings(), std::vector<std::string>{notice});
    EXPECT_EQ(strings("listConnections -source true -plugs true tulvexCharacter0_Skeleton_l_up_arm"
                      ".rotate"),
              std::vector<std::string>{node + ".outputRotations[12]"});

    // Said once: the next Bind, of this device or another, shows the plain message.
    bindNewDevice();
    ASSERT_EQ(MGlobal::executeCommand("tulvexBindPressed 0"), MStatus::kSuccess);
    EXPECT_EQ(message(0), "Bound: tulvexCharacter0_Skeleton follows the phone");
    EXPECT_EQ(message(1), "Bound: tulvexCharacter1_Skeleton follows the phone");
    EXPECT_TRUE(mayahost::takeScriptWarnings().empty());
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

// A character of the user's: fifteen joints in the required slots, locked.
void makeUserCharacter(const std::string& name) {
    ASSERT_EQ(text("hikCreateCharacter(\"" + name + "\")"), name);
    for (int slot = 1; slot <= 15; ++slot) {
        const std::string joint = name + "_j" + std::to_string(slot);
        ASSERT_EQ(text("createNode -name " + joint + " joint"), joint);
        std::string assign = "hikSetCharacterObject(\"" + joint;
        assign += "\", \"" + name + "\", " + std::to_string(slot) + ", 0)";
        ASSERT_EQ(MGlobal::executeCommand(assign.c_str()), MStatus::kSuccess);
    }
    ASSERT_EQ(MGlobal::executeCommand(("hikCharacterLock(\"" + name + "\", 1, 1)").c_str()),
              MStatus::kSuccess);
}

TEST_F(HumanIKScripts, DriveNoneAndBakeToACharacterOfTheUsers) {
    bindNewDevice();
    makeUserCharacter("Mocap");
    makeUserCharacter("Hero");
    ASSERT_EQ(MGlobal::executeCommand("hikSetCharacterInput(\"Hero\", \"Mocap\")"),
              MStatus::kSuccess);
    EXPECT_EQ(strings("tulvexDriveTargets()"), (std::vector<std::string>{"Mocap", "Hero"}));

    clearHikCalls();
    ASSERT_EQ(MGlobal::executeCommand("tulvexDriveCharacter 0 \"Hero\""), MStatus::kSuccess);
    const std::vector<std::string> calls = hikCalls();
    ASSERT_GE(calls.size(), 2U);
    EXPECT_EQ(calls[calls.size() - 2], "hikGetRetargetCharacterInput(\"Hero\")");
    EXPECT_EQ(calls.back(), "hikSetCharacterInput(\"Hero\", \"tulvexCharacter0_HIK\")");
    EXPECT_EQ(text("hikGetRetargetCharacterInput(\"Hero\")"), "tulvexCharacter0_HIK");
    EXPECT_EQ(message(0), "Hero follows the performer");

    // None gives the target its earlier input back.
    ASSERT_EQ(MGlobal::executeCommand("tulvexDriveCharacter 0 \"\""), MStatus::kSuccess);
    EXPECT_EQ(text("hikGetRetargetCharacterInput(\"Hero\")"), "Mocap");
    EXPECT_EQ(text("tulvexDrivenCharacter(0)"), "");

    // The bake keys every frame of the range on the target's slots, then hands it back.
    ASSERT_EQ(MGlobal::executeCommand("tulvexDriveCharacter 0 \"Hero\""), MStatus::kSuccess);
    ASSERT_EQ(MGlobal::executeCommand("playbackOptions -minTime 1 -maxTime 4"), MStatus::kSuccess);
    ASSERT_EQ(MGlobal::executeCommand("tulvexBakeToCharacter 0"), MStatus::kSuccess);
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{});
    EXPECT_EQ(text("hikGetRetargetCharacterInput(\"Hero\")"), "Mocap");
    EXPECT_EQ(number("keyframe -query -keyframeCount Hero_j9_rotateZ"), 4);
    EXPECT_EQ(strings("listConnections -source true -plugs true Hero_j9.rotateZ"),
              std::vector<std::string>{"Hero_j9_rotateZ.output"});
    EXPECT_EQ(message(0), "Baked the playback range onto Hero; it plays on its own now");

    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{});
}

}  // namespace
