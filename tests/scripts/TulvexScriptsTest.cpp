// The staged MEL scripts, read without Maya: the procedures the plug-in calls, the calls the
// scripts make, the bind hand-shake and the skeleton's bone table.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "MelLint.h"

namespace {

using mellint::Call;
using mellint::Proc;
using mellint::Script;
using mellint::Token;
using mellint::TokenKind;

const char* const kScriptFiles[] = {"SkeletonHelpers.mel", "UIManagement.mel", "UICallbacks.mel"};

// Command texts exactly as the plug-in sends them; ids and texts are sample values.
const std::vector<std::string> kPluginCommandTexts = {
    "TulvexMayaInitStrings",
    "createTulvexShelf",
    "cleanUpUI",
    "enableBindButton 2 1",
    "updateLiveCheckbox 2 0",
    "displayMessage \"Data received. Press Bind to Character button\"2",
    "displayAvailableIPs \"Your local IPs:\t\t\t192.168.1.20\"2",
};

// Maya's own commands the scripts may use, and the plug-in's command.
const std::set<std::string> kKnownCommands = {
    "about",
    "button",
    "checkBox",
    "clear",
    "columnLayout",
    "connectAttr",
    "control",
    "createNode",
    "delete",
    "deleteUI",
    "format",
    "getAttr",
    "getPluginResource",
    "gmatch",
    "layout",
    "ls",
    "lsUI",
    "registerPluginResource",
    "scrollField",
    "setAttr",
    "setParent",
    "shelfButton",
    "shelfLayout",
    "showWindow",
    "size",
    "text",
    "warning",
    "window",
    "TulvexDidCharacterize",
};

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

const std::vector<Script>& scripts() {
    static const std::vector<Script> read = [] {
        std::vector<Script> out;
        for (const char* file : kScriptFiles) {
            out.push_back(mellint::readScript(
                file, readFile(std::string(TULVEX_STAGED_SCRIPTS_DIR) + "/" + file)));
        }
        return out;
    }();
    return read;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\n";
    }
    return out;
}

bool bodyHasString(const Script& script, const Proc& proc, const std::string& prefix) {
    for (std::size_t i = proc.bodyBegin; i < proc.bodyEnd; ++i) {
        const Token& token = script.tokens[i];
        if (token.kind == TokenKind::String && token.text.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<const Call*> callsIn(const Script& script, const std::string& proc,
                                 const std::string& name) {
    std::vector<const Call*> out;
    for (const Call& call : script.calls) {
        if (call.inProc == proc && call.name == name) {
            out.push_back(&call);
        }
    }
    return out;
}

bool isVariable(const std::vector<Token>& arg, const std::string& name) {
    return arg.size() == 1 && arg[0].kind == TokenKind::Variable && arg[0].text == name;
}

// The proc connecting the node's outputs to joints, and the script holding it.
std::pair<const Script*, const Proc*> skeletonBuilder() {
    for (const Script& script : scripts()) {
        for (const Proc& proc : script.procs) {
            if (bodyHasString(script, proc, ".outputTranslations[")) {
                return {&script, &proc};
            }
        }
    }
    return {nullptr, nullptr};
}

TEST(TulvexScriptFiles, StagedCopiesMatchTheSources) {
    for (const char* file : kScriptFiles) {
        const std::string source = readFile(std::string(TULVEX_SOURCE_SCRIPTS_DIR) + "/" + file);
        ASSERT_FALSE(source.empty()) << file;
        EXPECT_EQ(readFile(std::string(TULVEX_STAGED_SCRIPTS_DIR) + "/" + file), source)
            << file << " is stale in the build tree";
    }
}

TEST(TulvexScriptFiles, ReadCleanlyAndSourceWithoutRunningAnything) {
    // Balance, terminated strings and comments, proc headers, nothing but procs and global
    // declarations at file level (each file is sourced on its own, in any order).
    EXPECT_EQ(joined(mellint::syntaxProblems(scripts())), "");
    for (const Script& script : scripts()) {
        EXPECT_FALSE(script.procs.empty()) << script.file;
    }
}

TEST(TulvexScriptProcs, PluginEntryPointsAreDefinedOnceWithTheTypesItSends) {
    EXPECT_EQ(joined(mellint::entryPointMismatches(scripts(), kPluginCommandTexts)), "");
}

TEST(TulvexScriptProcs, GlobalProcsAreDefinedOnceAcrossTheFiles) {
    EXPECT_EQ(joined(mellint::duplicateProcs(scripts())), "");
}

TEST(TulvexScriptProcs, CallsResolveWithTheRightArgumentCount) {
    // Includes the commands of shelf buttons and panel controls.
    EXPECT_EQ(joined(mellint::unresolvedCalls(scripts(), kKnownCommands)), "");
    EXPECT_EQ(joined(mellint::arityMismatches(scripts())), "");
}

TEST(TulvexBinding, BuildsTheSkeletonOfTheNodeThenTellsThatNode) {
    const auto [builderScript, builder] = skeletonBuilder();
    ASSERT_NE(builder, nullptr) << "no proc connects .outputTranslations[...]";
    ASSERT_EQ(builder->params.size(), 1U);
    ASSERT_EQ(builder->params[0].type, "string");
    const std::string nodeParam = builder->params[0].name;

    // Both outputs go from the node passed in: connectAttr ($node + ".output...[" + $i + "]").
    int connected = 0;
    for (const Call* call : callsIn(*builderScript, builder->name, "connectAttr")) {
        for (const auto& arg : call->args) {
            if (arg.size() > 4 && arg[0].text == "(" && arg[1].text == nodeParam &&
                arg[2].text == "+" && arg[3].kind == TokenKind::String &&
                (arg[3].text == ".outputTranslations[" || arg[3].text == ".outputRotations[")) {
                ++connected;
            }
        }
    }
    EXPECT_EQ(connected, 2) << "translations and rotations connected from " << nodeParam;

    int handshakes = 0;
    for (const Script& script : scripts()) {
        for (const Call& didCall : script.calls) {
            if (didCall.name != "TulvexDidCharacterize") {
                continue;
            }
            ++handshakes;
            ASSERT_EQ(didCall.args.size(), 1U) << script.file << ":" << didCall.line;
            ASSERT_EQ(didCall.args[0].size(), 1U);
            const std::string node = didCall.args[0][0].text;
            ASSERT_EQ(didCall.args[0][0].kind, TokenKind::Variable) << node;

            // The same node was bound just before, in the same proc.
            bool boundFirst = false;
            for (const Call* build : callsIn(script, didCall.inProc, builder->name)) {
                boundFirst =
                    boundFirst || (build->tokenIndex < didCall.tokenIndex &&
                                   build->args.size() == 1 && isVariable(build->args[0], node));
            }
            EXPECT_TRUE(boundFirst)
                << didCall.inProc << " does not bind " << node << " before TulvexDidCharacterize";

            // And the button is switched off afterwards.
            bool disabled = false;
            for (const Call* enable : callsIn(script, didCall.inProc, "enableBindButton")) {
                disabled = disabled ||
                           (enable->tokenIndex > didCall.tokenIndex && enable->args.size() == 2 &&
                            enable->args[1].size() == 1 && enable->args[1][0].text == "0");
            }
            EXPECT_TRUE(disabled) << didCall.inProc << " leaves the bind button enabled";
        }
    }
    EXPECT_EQ(handshakes, 1);
}

TEST(TulvexSkeleton, BoneTableMatchesTheNodesBones) {
    const Script* namesScript = nullptr;
    const Script* parentsScript = nullptr;
    const Proc* namesProc = mellint::findProc(scripts(), "tulvexBoneNames", &namesScript);
    const Proc* parentsProc = mellint::findProc(scripts(), "tulvexBoneParents", &parentsScript);
    ASSERT_NE(namesProc, nullptr);
    ASSERT_NE(parentsProc, nullptr);
    const std::vector<Token> names = mellint::arrayLiteralIn(*namesScript, *namesProc);
    const std::vector<Token> parents = mellint::arrayLiteralIn(*parentsScript, *parentsProc);
    ASSERT_EQ(names.size(), kBones.size());
    ASSERT_EQ(parents.size(), kBones.size());
    for (std::size_t bone = 0; bone < kBones.size(); ++bone) {
        EXPECT_EQ(names[bone].kind, TokenKind::String);
        EXPECT_EQ(names[bone].text, kBones[bone].first) << "bone " << bone;
        EXPECT_EQ(parents[bone].kind, TokenKind::Integer);
        EXPECT_EQ(parents[bone].text, std::to_string(kBones[bone].second))
            << "parent of " << kBones[bone].first;
    }

    // The skeleton builder takes its joints and parents from that table.
    const auto [builderScript, builder] = skeletonBuilder();
    ASSERT_NE(builder, nullptr);
    EXPECT_FALSE(callsIn(*builderScript, builder->name, "tulvexBoneNames").empty());
    EXPECT_FALSE(callsIn(*builderScript, builder->name, "tulvexBoneParents").empty());
    EXPECT_TRUE(bodyHasString(*builderScript, *builder, ".outputRotations["));
}

TEST(TulvexSkeleton, NameIsTheOneTheBakedCurvesUse) {
    // The plug-in names baked curves <skeleton>_<bone>_tx etc., the joints <skeleton>_<bone>.
    const Script* script = nullptr;
    const Proc* proc = mellint::findProc(scripts(), "tulvexSkeletonName", &script);
    ASSERT_NE(proc, nullptr);
    ASSERT_EQ(proc->params.size(), 1U);
    EXPECT_EQ(proc->params[0].type, "int");
    std::string pattern;
    for (std::size_t i = proc->bodyBegin; i < proc->bodyEnd; ++i) {
        const Token& token = script->tokens[i];
        if (token.kind == TokenKind::String) {
            pattern += token.text;
        } else if (token.kind == TokenKind::Variable) {
            pattern += token.text == proc->params[0].name ? "<id>" : "<?>";
        }
    }
    EXPECT_EQ(pattern, "tulvexCharacter<id>_Skeleton");
}

}  // namespace
