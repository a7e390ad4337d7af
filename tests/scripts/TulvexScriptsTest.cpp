// The staged MEL scripts, parsed and run by the host's interpreter with the staged plug-in
// loaded: they source cleanly, every call in them resolves, the command texts the plug-in
// sends run, and the bone table is the node's.
#include <gtest/gtest.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>
#include <mayahost/HostControl.h>
#include <mayahost/UiControl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "MelCallSites.h"

namespace {

const char* const kScriptFiles[] = {"SkeletonHelpers.mel", "HumanIKHelpers.mel", "UIManagement.mel",
                                    "UICallbacks.mel"};

// Bone index, name and parent index of the 27 bones the node puts out.
const std::vector<std::pair<std::string, int>> kBones = {
    {"root", -1},      {"torso_1", 0},    {"torso_2", 1},    {"torso_3", 2},    {"torso_4", 3},
    {"torso_5", 4},    {"torso_6", 5},    {"torso_7", 6},    {"neck_1", 7},     {"neck_2", 8},
    {"head", 9},       {"l_shoulder", 7}, {"l_up_arm", 11},  {"l_low_arm", 12}, {"l_hand", 13},
    {"r_shoulder", 7}, {"r_up_arm", 15},  {"r_low_arm", 16}, {"r_hand", 17},    {"l_up_leg", 0},
    {"l_low_leg", 19}, {"l_foot", 20},    {"l_toes", 21},    {"r_up_leg", 0},   {"r_low_leg", 23},
    {"r_foot", 24},    {"r_toes", 25},
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string staged(const char* file) {
    return std::string(TULVEX_STAGED_SCRIPTS_DIR) + "/" + file;
}

// A fresh host with the staged scripts on the script path, and the plug-in loaded when asked.
class TulvexScripts : public ::testing::Test {
protected:
    void SetUp() override {
        mayahost::resetHost();
        mayahost::setScriptEcho(false);
        mayahost::setScriptPath({TULVEX_STAGED_SCRIPTS_DIR});
    }
    void TearDown() override {
        if (mLoaded) {
            mayahost::exitHost();
            mayahost::unloadPlugin(TULVEX_TEST_PLUGIN_MODULE);
        }
        mayahost::resetHost();
    }
    void load() {
        ASSERT_EQ(mayahost::loadPlugin(TULVEX_TEST_PLUGIN_MODULE), MStatus::kSuccess);
        mLoaded = true;
        while (mayahost::runIdleQueue() > 0) {
        }
    }
    static std::string lines() {
        std::string all;
        for (const std::string& line : mayahost::takeScriptLines()) {
            all += line + "\n";
        }
        return all;
    }

    bool mLoaded = false;
};

TEST(TulvexScriptFiles, StagedCopiesMatchTheSources) {
    for (const char* file : kScriptFiles) {
        const std::string source = readFile(std::string(TULVEX_SOURCE_SCRIPTS_DIR) + "/" + file);
        ASSERT_FALSE(source.empty()) << file;
        EXPECT_EQ(readFile(staged(file)), source) << file << " is stale in the build tree";
    }
}

TEST(TulvexScriptFiles, ParseAndDefineEachGlobalProcedureOnce) {
    std::map<std::string, std::string> definedIn;
    for (const char* file : kScriptFiles) {
        mayahost::MelCallSites sites;
        std::string error;
        ASSERT_TRUE(sites.scan(readFile(staged(file)), error)) << file << ": " << error;
        EXPECT_FALSE(sites.definitions().empty()) << file;
        for (const auto& definition : sites.definitions()) {
            EXPECT_TRUE(definition.isGlobal) << file << ": " << definition.name;
            const auto [where, fresh] = definedIn.emplace(definition.name, file);
            EXPECT_TRUE(fresh) << definition.name << " is defined in " << where->second
                               << " and in " << file;
        }
    }
}

TEST_F(TulvexScripts, SourcingRunsNothingButDefinitions) {
    for (const char* file : kScriptFiles) {
        EXPECT_EQ(MGlobal::sourceFile(file), MStatus::kSuccess) << file << "\n" << lines();
    }
    EXPECT_EQ(mayahost::nodeNames(), std::vector<std::string>{"time1"});
    EXPECT_EQ(mayahost::uiWindows(), std::vector<std::string>{"MayaWindow"});
    EXPECT_TRUE(mayahost::uiState("MayaWindow|ShelfLayout").children.empty());
    EXPECT_EQ(mayahost::takeScriptOutput(), "");
    EXPECT_EQ(lines(), "");
    int exists = 0;
    ASSERT_TRUE(MGlobal::executeCommand("exists tulvexOpenPanel", exists));
    EXPECT_EQ(exists, 1);
}

TEST_F(TulvexScripts, EveryCallResolvesWithThePluginLoaded) {
    load();
    for (const char* file : kScriptFiles) {
        mayahost::MelCallSites sites;
        std::string error;
        ASSERT_TRUE(sites.scan(readFile(staged(file)), error)) << error;
        std::set<std::string> checked;
        for (const auto& call : sites.calls()) {
            if (!checked.insert(call.name).second || sites.defines(call.name)) {
                continue;
            }
            int found = 0;
            ASSERT_TRUE(MGlobal::executeCommand(("exists \"" + call.name + "\"").c_str(), found));
            EXPECT_EQ(found, 1) << file << " line " << call.line << ": " << call.name
                                << " is neither a procedure of the scripts nor a command";
        }
    }
}

TEST_F(TulvexScripts, ThePluginsCommandTextsRun) {
    load();
    // The texts exactly as the plug-in builds them; ids and texts are sample values.
    for (const char* text : {"TulvexMayaInitStrings", "createTulvexShelf", "cleanUpUI",
                             "enableBindButton 2 1", "updateLiveCheckbox 2 0",
                             "displayMessage \"Data received. Press Bind to Character button\" 2",
                             "displayMessage \"say \\\"hi\\\" to C:\\\\temp\" 2",
                             "displayAvailableIPs \"Your local IPs:\\t\\t\\t192.168.1.20\" 2"}) {
        EXPECT_EQ(MGlobal::executeCommand(text), MStatus::kSuccess) << text << "\n" << lines();
    }
    MIntArray bindEnabled;
    ASSERT_TRUE(MGlobal::executeCommand("global int $gTulvexBindEnabled[]; $gTulvexBindEnabled",
                                        bindEnabled));
    ASSERT_EQ(bindEnabled.length(), 3U);
    EXPECT_EQ(bindEnabled[2], 1);
    MStringArray messages;
    ASSERT_TRUE(
        MGlobal::executeCommand("global string $gTulvexMessages[]; $gTulvexMessages", messages));
    ASSERT_EQ(messages.length(), 3U);
    EXPECT_EQ(std::string(messages[2].asChar()), "say \"hi\" to C:\\temp");
    EXPECT_EQ(lines(), "");
}

TEST_F(TulvexScripts, TheBoneTableIsTheNodes) {
    load();
    MStringArray names;
    MIntArray parents;
    ASSERT_TRUE(MGlobal::executeCommand("tulvexBoneNames()", names));
    ASSERT_TRUE(MGlobal::executeCommand("tulvexBoneParents()", parents));
    ASSERT_EQ(names.length(), kBones.size());
    ASSERT_EQ(parents.length(), kBones.size());
    for (unsigned int bone = 0; bone < kBones.size(); ++bone) {
        EXPECT_EQ(std::string(names[bone].asChar()), kBones[bone].first) << "bone " << bone;
        EXPECT_EQ(parents[bone], kBones[bone].second) << kBones[bone].first;
    }
    // The plug-in names baked curves <skeleton>_<bone>_tx and so on.
    MString skeleton;
    ASSERT_TRUE(MGlobal::executeCommand("tulvexSkeletonName(3)", skeleton));
    EXPECT_EQ(std::string(skeleton.asChar()), "tulvexCharacter3_Skeleton");
}

// A status as the node gives it, name then value, as a MEL array literal.
std::string statusLiteral(const std::vector<std::pair<std::string, std::string>>& values) {
    std::string literal = "{";
    for (const auto& [name, value] : values) {
        literal += (literal.size() > 1 ? ", \"" : "\"") + name + "\", \"" + value + "\"";
    }
    return literal + "}";
}

MString streamLine(const std::vector<std::pair<std::string, std::string>>& values) {
    MString line;
    const std::string text = "string $s[] = " + statusLiteral(values) + "; tulvexStreamLine($s)";
    EXPECT_TRUE(MGlobal::executeCommand(text.c_str(), line)) << text;
    return line;
}

// The dropped count is the sum of two counts the node reports as texts.
TEST_F(TulvexScripts, TheStreamLineAddsItsCountsAsNumbers) {
    load();
    struct Case {
        const char* missed;
        const char* rejected;
        const char* dropped;
    };
    for (const Case& c : {Case{"3", "7", "10"}, Case{"12", "30", "42"}, Case{"0", "5", "5"},
                          Case{"5", "0", "5"}, Case{"99", "1", "100"}}) {
        SCOPED_TRACE(std::string(c.missed) + " missed, " + c.rejected + " rejected");
        std::vector<std::pair<std::string, std::string>> status = {
            {"state", "streaming"},     {"sender", "10.0.0.2:49152"},
            {"framesMissed", c.missed}, {"datagramsRejected", c.rejected},
            {"rateMeasured", "1"},      {"detectedRate", "60"}};
        EXPECT_EQ(std::string(streamLine(status).asChar()),
                  std::string("Streaming 60 fps from 10.0.0.2, ") + c.dropped + " dropped");
        status[4].second = "0";
        EXPECT_EQ(std::string(streamLine(status).asChar()),
                  std::string("Streaming from 10.0.0.2, ") + c.dropped + " dropped");
    }
    EXPECT_EQ(lines(), "");
}

// MEL does not say whether && and || skip their right side, nor whether a name is bound to a
// command when a script is sourced or when the call runs: the panel works every way.
class TulvexScriptsEveryWay : public TulvexScripts,
                              public ::testing::WithParamInterface<std::pair<bool, bool>> {
protected:
    // Set before the plug-in sources the scripts, which is when compile-time binding binds.
    void load() {
        mayahost::setMelModes(GetParam().first, GetParam().second);
        TulvexScripts::load();
    }
    std::string message(int id) {
        MStringArray messages;
        EXPECT_TRUE(MGlobal::executeCommand("global string $gTulvexMessages[]; $gTulvexMessages",
                                            messages));
        return id < static_cast<int>(messages.length())
                   ? messages[static_cast<unsigned>(id)].asChar()
                   : "";
    }
};

TEST_P(TulvexScriptsEveryWay, PanelCallbacksOfAGoneNodeOnlyWarn) {
    load();
    for (const char* callback : {"tulvexLiveChanged 7 1", "tulvexRecordingChanged 7 0",
                                 "tulvexPlayTake 7", "tulvexBackToLive 7"}) {
        SCOPED_TRACE(callback);
        EXPECT_EQ(MGlobal::executeCommand(callback), MStatus::kSuccess) << lines();
        EXPECT_TRUE(mayahost::takeScriptErrors().empty());
        EXPECT_EQ(mayahost::takeScriptWarnings(),
                  std::vector<std::string>{"Tulvex: no device node has device id 7."});
    }
}

TEST_P(TulvexScriptsEveryWay, PanelCallbacksReachTheNodeAndThePluginsCommands) {
    load();
    MString node;
    ASSERT_TRUE(MGlobal::executeCommand("tulvexCreateDeviceNode()", node)) << lines();
    int id = -1;
    ASSERT_TRUE(MGlobal::executeCommand(
        ("getAttr " + std::string(node.asChar()) + ".deviceId").c_str(), id));
    const std::string ids = std::to_string(id);
    auto run = [&](const std::string& callback) {
        EXPECT_EQ(MGlobal::executeCommand(callback.c_str()), MStatus::kSuccess) << callback << "\n"
                                                                                << lines();
    };
    run("tulvexRecordingChanged " + ids + " 1");
    run("tulvexRecordingChanged " + ids + " 1");
    int recording = 0;
    ASSERT_TRUE(MGlobal::executeCommand(
        ("getAttr " + std::string(node.asChar()) + ".recording").c_str(), recording));
    EXPECT_EQ(recording, 1);
    // TulvexDidCharacterize runs before the message, and TulvexDeviceStatus before the bake's.
    run("tulvexBindPressed " + ids);
    EXPECT_EQ(message(id).rfind("Bound: ", 0), 0U) << message(id);
    run("tulvexTakeBaked " + ids);
    EXPECT_EQ(message(id).rfind("Bound: ", 0), std::string::npos) << message(id);
    // No panel is open: the timer is told to stop.
    run("tulvexRefreshPanels");
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(BindingAndShortCircuit, TulvexScriptsEveryWay,
                         ::testing::Values(std::make_pair(true, true), std::make_pair(true, false),
                                           std::make_pair(false, true),
                                           std::make_pair(false, false)),
                         [](const ::testing::TestParamInfo<std::pair<bool, bool>>& mode) {
                             return std::string(mode.param.first ? "BindAtCompile" : "BindAtCall") +
                                    (mode.param.second ? "ShortCircuit" : "BothSides");
                         });

// ---- Shelves as Maya saves them ------------------------------------------------------------

// Our shelf exactly as Maya 2022 writes it into the preferences at exit.
std::string savedShelfCopy() {
    return std::string(TULVEX_TEST_SHELVES_DIR) + "/shelf_Tulvex.mel";
}

TEST(TulvexShelfFiles, TheCopyIsTheSharedSampleWhereThatIsReachable) {
    const std::string shared = std::string(TULVEX_SHARED_SAMPLES_DIR) + "/shelf_Tulvex.mel";
    if (!std::filesystem::exists(shared)) {
        GTEST_SKIP() << shared << " is not beside this clone";
    }
    EXPECT_EQ(readFile(savedShelfCopy()), readFile(shared));
}

// The flags of each shelfButton of a shelf file, in order, one list per button.
std::vector<std::vector<std::string>> buttonFlags(const std::string& file) {
    std::vector<std::vector<std::string>> buttons;
    std::istringstream lines(file);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "    shelfButton") {
            buttons.emplace_back();
        } else if (line.rfind("        -", 0) == 0 && !buttons.empty()) {
            buttons.back().push_back(line.substr(8, line.find(' ', 8) - 8));
        }
    }
    return buttons;
}

class TulvexShelf : public TulvexScripts {
protected:
    void SetUp() override {
        TulvexScripts::SetUp();
        char pattern[] = "/tmp/tulvex-shelf-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        mFolder = made;
    }
    void TearDown() override {
        TulvexScripts::TearDown();
        std::error_code ignored;
        std::filesystem::remove_all(mFolder, ignored);
    }
    // What Maya does with a saved shelf at start: a shelf of the file's name under the shelf
    // tab layout, the file sourced, its procedure run there. The buttons' names.
    std::vector<std::string> loadShelf(const std::string& path) {
        EXPECT_TRUE(MGlobal::executeCommand(
            "global string $gShelfTopLevel;"
            "if (`shelfLayout -exists Tulvex`) deleteUI -layout Tulvex;"
            "shelfLayout -cellWidth 35 -cellHeight 34 -parent $gShelfTopLevel Tulvex;"
            "setParent Tulvex;"))
            << lines();
        EXPECT_EQ(MGlobal::sourceFile(path.c_str()), MStatus::kSuccess) << lines();
        EXPECT_EQ(MGlobal::executeCommand("shelf_Tulvex"), MStatus::kSuccess) << lines();
        MStringArray buttons;
        EXPECT_TRUE(MGlobal::executeCommand("shelfLayout -q -childArray Tulvex", buttons));
        std::vector<std::string> names;
        for (unsigned int i = 0; i < buttons.length(); ++i) {
            names.emplace_back(buttons[i].asChar());
        }
        return names;
    }
    std::string save() {
        EXPECT_EQ(
            MGlobal::executeCommand(("saveShelf Tulvex \"" + mFolder + "/shelf_Tulvex\"").c_str()),
            MStatus::kSuccess)
            << lines();
        return readFile(mFolder + "/shelf_Tulvex.mel");
    }
    static std::vector<std::string> deviceNodes() {
        MStringArray nodes;
        MGlobal::executeCommand("ls -type \"TulvexDeviceNode\"", nodes);
        std::vector<std::string> names;
        for (unsigned int i = 0; i < nodes.length(); ++i) {
            names.emplace_back(nodes[i].asChar());
        }
        return names;
    }
    // Without the plug-in both buttons say what to do and change nothing.
    void expectButtonsSayThePluginIsNotLoaded(const std::vector<std::string>& buttons) {
        ASSERT_EQ(buttons.size(), 2U);
        for (const std::string& button : buttons) {
            std::string message;
            EXPECT_EQ(mayahost::uiClick(button, &message), mayahost::UiOutcome::Done) << message;
            const std::vector<std::string> warnings = mayahost::takeScriptWarnings();
            ASSERT_EQ(warnings.size(), 1U) << button;
            EXPECT_EQ(warnings[0].rfind("Tulvex: the TulvexMayaPlugin plug-in is not loaded.", 0),
                      0U)
                << warnings[0];
            EXPECT_TRUE(mayahost::takeScriptErrors().empty());
        }
        EXPECT_EQ(mayahost::nodeNames(), std::vector<std::string>{"time1"});
    }
    // With it, the first button makes a node and opens its panel.
    void expectNewDeviceButtonWorks(const std::vector<std::string>& buttons) {
        ASSERT_EQ(buttons.size(), 2U);
        std::string message;
        EXPECT_EQ(mayahost::uiClick(buttons[0], &message), mayahost::UiOutcome::Done)
            << message << "\n"
            << lines();
        EXPECT_EQ(deviceNodes().size(), 1U);
        EXPECT_TRUE(mayahost::uiState("tulvexPanel0").exists);
        EXPECT_TRUE(mayahost::takeScriptErrors().empty());
    }

    std::string mFolder;
};

TEST_F(TulvexShelf, MayasSavedShelfLoadsAndSaysWhatToDoWithoutThePlugin) {
    const std::vector<std::string> buttons = loadShelf(savedShelfCopy());
    EXPECT_EQ(lines(), "");
    ASSERT_EQ(buttons.size(), 2U);
    MString value;
    ASSERT_TRUE(MGlobal::executeCommand(("shelfButton -q -style " + buttons[0]).c_str(), value));
    EXPECT_STREQ(value.asChar(), "iconOnly");
    ASSERT_TRUE(MGlobal::executeCommand(
        ("shelfButton -q -doubleClickCommand " + buttons[1]).c_str(), value));
    EXPECT_STREQ(value.asChar(), "print \"double click\\n\";");
    expectButtonsSayThePluginIsNotLoaded(buttons);
}

TEST_F(TulvexShelf, MayasSavedShelfMakesADeviceWithThePlugin) {
    load();
    expectNewDeviceButtonWorks(loadShelf(savedShelfCopy()));
}

// Saved again, the shelf Maya wrote comes back byte for byte: the host writes shelves as
// Maya does.
TEST_F(TulvexShelf, SavingALoadedShelfWritesItAsMayaDid) {
    loadShelf(savedShelfCopy());
    EXPECT_EQ(save(), readFile(savedShelfCopy()));
}

// The shelf the plug-in builds, saved at exit and loaded at the next start without and with
// the plug-in; every button carries the flags, in the order, Maya writes.
TEST_F(TulvexShelf, OurShelfSavedAsMayaSavesItLoadsBackWithAndWithoutThePlugin) {
    load();
    const std::string saved = save();
    const std::vector<std::vector<std::string>> sample = buttonFlags(readFile(savedShelfCopy()));
    ASSERT_EQ(sample.size(), 2U);
    const std::vector<std::vector<std::string>> ours = buttonFlags(saved);
    ASSERT_EQ(ours.size(), 2U) << saved;
    EXPECT_EQ(ours[0], sample[0]) << saved;
    EXPECT_EQ(ours[1], sample[0]) << saved;

    // The next start, without the plug-in.
    mayahost::exitHost();
    mayahost::unloadPlugin(TULVEX_TEST_PLUGIN_MODULE);
    mLoaded = false;
    mayahost::resetHost();
    mayahost::setScriptEcho(false);
    mayahost::setScriptPath({TULVEX_STAGED_SCRIPTS_DIR});
    const std::string path = mFolder + "/shelf_Tulvex.mel";
    expectButtonsSayThePluginIsNotLoaded(loadShelf(path));

    // And once it loads.
    load();
    expectNewDeviceButtonWorks(loadShelf(path));
}

}  // namespace
