// HumanIK end to end in the program: a streamed skeleton bound and characterised, a character
// of the user's made by a script given with --mel, driven, baked to and the bake undone; what
// HumanIK was asked and what the scene file keeps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "LoopbackPort.h"

namespace {

namespace fs = std::filesystem;

// Prints HumanIK's calls since the last time as "hik <step>: <call>" lines, then the scene
// facts the test reads, as "fact <name>: <value>".
constexpr const char* kScript = R"MEL(
global proc e2eCalls(string $step)
{
    global string $gHostHikCalls[];
    string $call;
    for ($call in $gHostHikCalls)
        print ("hik " + $step + ": " + $call + "\n");
    clear($gHostHikCalls);
}
global proc e2eFact(string $name, string $value)
{
    print ("fact " + $name + ": " + $value + "\n");
}

e2eCalls("bind");
// A character of the user's: a joint in each of the fifteen required slots.
string $hero = hikCreateCharacter("Hero");
int $slot;
for ($slot = 1; $slot <= 15; $slot++) {
    string $joint = `createNode -name ("Hero_j" + $slot) joint`;
    hikSetCharacterObject($joint, $hero, $slot, 0);
}
hikCharacterLock($hero, 1, 1);
e2eCalls("user");

tulvexPlayTake 0;
tulvexDriveCharacter 0 "Hero";
e2eCalls("drive");
e2eFact("input", hikGetRetargetCharacterInput("Hero"));
string $saved[] = `fileInfo -q tulvexDrive0`;
e2eFact("saved", $saved[0]);
e2eCalls("query");

tulvexBakeToCharacter 0;
e2eCalls("bake");
e2eFact("keys", `keyframe -q -keyframeCount Hero_j9.rz`);
e2eFact("take keys", `keyframe -q -keyframeCount tulvexCharacter0_Skeleton_l_up_arm.rz`);
e2eFact("input after bake", hikGetRetargetCharacterInput("Hero"));
e2eCalls("query");
e2eFact("undo step", `undoInfo -q -undoName`);
undo;
e2eFact("curve after undo", `objExists Hero_j9_rotateZ`);

// Driven again when the scene is written, so the file keeps the choice.
tulvexDriveCharacter 0 "Hero";
)MEL";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text after "<prefix>" on each line that starts with it.
std::vector<std::string> linesAfter(const std::string& out, const std::string& prefix) {
    std::vector<std::string> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0) {
            found.push_back(line.substr(prefix.size()));
        }
    }
    return found;
}

std::string fact(const std::string& out, const std::string& name) {
    const std::vector<std::string> found = linesAfter(out, "fact " + name + ": ");
    return found.empty() ? "(missing)" : found.front();
}

#ifdef TULVEX_STREAM_EXE
TEST(HumanIKProcessTest, BindCharacterisesAScriptDrivesBakesAndUndoesAndTheFileKeepsTheChoice) {
    const fs::path dir =
        fs::temp_directory_path() / ("tulvex-host-hik-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path script = dir / "drive.mel";
    std::ofstream(script) << kScript;
    const fs::path output = dir / "take.ma";
    const int port = LoopbackPort::freeConsecutive(1);
    ChildProcess host({TULVEX_HOST_EXE, "--port", std::to_string(port), "--record", "1",
                       "--wait-timeout", "10", "--output", output.string(), "--mel",
                       script.string()});
    ChildProcess phone({TULVEX_STREAM_EXE, "--port", std::to_string(port), "--fps", "60",
                        "--duration", "15", "--repeat-definition", "0.5", "--quiet"});
    const ChildProcess::Result result = host.wait(std::chrono::seconds(40));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;

    // Bind made our skeleton a character: one joint per slot, then locked with validation.
    const std::vector<std::string> bind = linesAfter(result.out, "hik bind: ");
    ASSERT_FALSE(bind.empty()) << result.out;
    int assigned = 0;
    for (const std::string& call : bind) {
        assigned += call.rfind("hikSetCharacterObject(\"tulvexCharacter0_Skeleton_", 0) == 0;
    }
    EXPECT_EQ(assigned, 27);
    EXPECT_EQ(bind.back(), "hikCharacterLock(\"tulvexCharacter0_HIK\", 1, 1)");

    const std::vector<std::string> drive = linesAfter(result.out, "hik drive: ");
    ASSERT_FALSE(drive.empty()) << result.out;
    EXPECT_EQ(drive.back(), "hikSetCharacterInput(\"Hero\", \"tulvexCharacter0_HIK\")");
    EXPECT_EQ(fact(result.out, "input"), "tulvexCharacter0_HIK");
    EXPECT_EQ(fact(result.out, "saved"), "Hero;");

    // The bake works on Hero as the current character and gives it its input back after.
    EXPECT_EQ(linesAfter(result.out, "hik bake: "),
              (std::vector<std::string>{"hikSetCurrentCharacter(\"Hero\")", "hikBakeCharacter(0)",
                                        "hikSetCharacterInput(\"Hero\", \"\")"}));
    EXPECT_EQ(fact(result.out, "keys"), fact(result.out, "take keys"))
        << "a key on every frame of the take";
    EXPECT_NE(fact(result.out, "keys"), "0");
    EXPECT_EQ(fact(result.out, "input after bake"), "");
    EXPECT_EQ(fact(result.out, "undo step"), "tulvexBakeToCharacter");
    EXPECT_EQ(fact(result.out, "curve after undo"), "0");

    const std::string text = readFile(output);
    EXPECT_NE(text.find("fileInfo \"tulvexDrive0\" \"Hero;\";\n"), std::string::npos);
    fs::remove_all(dir);
}
#endif

TEST(HumanIKProcessTest, AMissingScriptEndsWithTwoBeforeAnythingIsLoaded) {
    const ChildProcess::Result result =
        ChildProcess({TULVEX_HOST_EXE, "--mel", "/nonexistent/drive.mel", "--wait-timeout", "1"})
            .wait(std::chrono::seconds(20));
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_NE(result.err.find("--mel: there is no file /nonexistent/drive.mel"), std::string::npos)
        << result.err;
}

}  // namespace
