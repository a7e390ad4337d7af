// The product's scripts run by the interpreter, against small stand-ins for the Maya commands
// they call (the real scene and UI commands are not part of the interpreter). The stand-ins
// are registered through the same command framework, so every call the scripts make is also
// checked against a syntax.
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "MelFixture.h"

namespace {

using mayahost::MelArgType;
using mayahost::MelContext;
using mayahost::MelFlag;
using mayahost::MelInvocation;
using mayahost::MelResult;
using mayahost::MelSyntax;
using mayahost::MelValue;

class MelScriptsTest : public MelFixture {
protected:
    struct Node {
        std::string type;
        std::string parent;
        std::map<std::string, int> attributes;
    };

    void SetUp() override {
        MelFixture::SetUp();
        mel.scriptFolders().setFolders({TULVEX_SOURCE_SCRIPTS_DIR});
        registerStandIns();
        for (const char* script :
             {"SkeletonHelpers", "HumanIKHelpers", "UIManagement", "UICallbacks"}) {
            ASSERT_TRUE(mel.sourceFile(script).ok()) << script << "\n" << shown();
        }
    }

    void addDevice(const std::string& name, int id, int port) {
        nodes[name] = Node{"TulvexDeviceNode", "", {{"deviceId", id}, {"inputPort", port}}};
    }

    void registerStandIns() {
        const auto add = [this](MelSyntax syntax, mayahost::MelCommand::Handler handler) {
            ASSERT_TRUE(mel.registerCommand(std::move(syntax), std::move(handler)));
        };
        add(MelSyntax("ls")
                .addFlag("type", "typ", {MelArgType::String}, MelFlag::kCreate, true)
                .addFlag("long", "l")
                .setPositionals(0, MelSyntax::kUnlimited, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                std::vector<std::string> found;
                for (const auto& [name, node] : nodes) {
                    const bool typeOk = !call.has("type") || node.type == call.stringValue("type");
                    bool named = call.positionals().empty();
                    for (const MelValue& wanted : call.positionals()) {
                        named = named || wanted.asString() == name;
                    }
                    if (typeOk && named) {
                        found.push_back(name);
                    }
                }
                return MelResult::success(MelValue::ofStrings(found));
            });
        add(MelSyntax("getAttr").setPositionals(1, 1, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                const std::string plug = call.positionals()[0].asString();
                const std::size_t dot = plug.find('.');
                const auto node = nodes.find(plug.substr(0, dot));
                if (node == nodes.end()) {
                    return MelResult::failure("No object matches name: " + plug);
                }
                return MelResult::success(
                    MelValue::ofInt(node->second.attributes[plug.substr(dot + 1)]));
            });
        add(MelSyntax("setAttr").setPositionals(2, 2),
            [this](const MelInvocation& call, MelContext&) {
                const std::string plug = call.positionals()[0].asString();
                const std::size_t dot = plug.find('.');
                nodes[plug.substr(0, dot)].attributes[plug.substr(dot + 1)] =
                    call.positionals()[1].asInt();
                return MelResult::success();
            });
        add(MelSyntax("createNode")
                .addFlag("name", "n", {MelArgType::String})
                .addFlag("parent", "p", {MelArgType::String})
                .setPositionals(1, 1, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                const std::string name = call.stringValue("name");
                nodes[name] =
                    Node{call.positionals()[0].asString(), call.stringValue("parent"), {}};
                created.push_back(name);
                return MelResult::success(MelValue::ofString(name));
            });
        add(MelSyntax("connectAttr").addFlag("force", "f").setPositionals(2, 2, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                connections.emplace_back(call.positionals()[0].asString(),
                                         call.positionals()[1].asString());
                return MelResult::success();
            });
        add(MelSyntax("delete").setPositionals(1, MelSyntax::kUnlimited, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                for (const MelValue& name : call.positionals()) {
                    nodes.erase(name.asString());
                }
                return MelResult::success();
            });
        add(MelSyntax("pluginInfo")
                .addFlag("loaded", "l", {}, MelFlag::kQuery)
                .setPositionals(1, 1, MelArgType::String),
            [](const MelInvocation& call, MelContext&) {
                return MelResult::success(MelValue::ofInt(
                    call.positionals()[0].asString() == "TulvexMayaPlugin" ? 1 : 0));
            });
        add(MelSyntax("about").addFlag("batch", "b"), [](const MelInvocation&, MelContext&) {
            return MelResult::success(MelValue::ofInt(1));
        });
        add(MelSyntax("control").addFlag("exists", "ex").setPositionals(1, 1, MelArgType::String),
            [](const MelInvocation&, MelContext&) {
                return MelResult::success(MelValue::ofInt(0));
            });
        add(MelSyntax("registerPluginResource").setPositionals(3, 3, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                resources[call.positionals()[1].asString()] = call.positionals()[2].asString();
                return MelResult::success();
            });
        add(MelSyntax("getPluginResource").setPositionals(2, 2, MelArgType::String),
            [this](const MelInvocation& call, MelContext&) {
                return MelResult::success(
                    MelValue::ofString(resources[call.positionals()[1].asString()]));
            });
        ASSERT_TRUE(mel.registerRawCommand(
            "TulvexDidCharacterize", [this](const std::vector<std::string>& words, MelContext&) {
                characterized.push_back(words);
                return MelResult::success();
            }));
    }

    std::map<std::string, Node> nodes;
    std::vector<std::string> created;
    std::vector<std::pair<std::string, std::string>> connections;
    std::map<std::string, std::string> resources;
    std::vector<std::vector<std::string>> characterized;
};

TEST_F(MelScriptsTest, BoneTablesAreConsistent) {
    const MelValue names = valueOf("tulvexBoneNames()");
    const MelValue parents = valueOf("tulvexBoneParents()");
    ASSERT_EQ(names.size(), 27U);
    ASSERT_EQ(parents.size(), names.size());
    EXPECT_EQ(names.strings().front(), "root");
    EXPECT_EQ(parents.ints().front(), -1);
    for (std::size_t i = 1; i < parents.size(); ++i) {
        EXPECT_GE(parents.ints()[i], 0);
        EXPECT_LT(static_cast<std::size_t>(parents.ints()[i]), i) << names.strings()[i];
    }
    EXPECT_EQ(valueOf("tulvexSkeletonName 4"), MelValue::ofString("tulvexCharacter4_Skeleton"));
}

TEST_F(MelScriptsTest, DeviceIdsAndPortsSkipWhatIsTaken) {
    addDevice("tulvexDevice0", 0, 12351);
    addDevice("tulvexDevice2", 2, 12352);
    EXPECT_EQ(valueOf("tulvexNextFreeDeviceId()"), MelValue::ofInt(3));
    EXPECT_EQ(valueOf("tulvexFreePort(1)"), MelValue::ofInt(12353));
    EXPECT_EQ(valueOf("tulvexFreePort(5)"), MelValue::ofInt(12356));
    EXPECT_EQ(valueOf("tulvexNodeForDevice(2)"), MelValue::ofString("tulvexDevice2"));
    EXPECT_EQ(valueOf("tulvexNodeForDevice(7)"), MelValue::ofString(""));
}

TEST_F(MelScriptsTest, CreatingADeviceNodeSetsItsIdPortAndClock) {
    addDevice("tulvexDevice0", 0, 12351);
    EXPECT_EQ(valueOf("tulvexCreateDeviceNode()"), MelValue::ofString("tulvexDevice1"));
    EXPECT_EQ(nodes["tulvexDevice1"].attributes["deviceId"], 1);
    EXPECT_EQ(nodes["tulvexDevice1"].attributes["inputPort"], 12352);
    ASSERT_EQ(connections.size(), 1U);
    EXPECT_EQ(connections[0],
              std::make_pair(std::string("time1.outTime"), std::string("tulvexDevice1.time")));
}

TEST_F(MelScriptsTest, BindingBuildsTheSkeletonAndTellsThePlugin) {
    addDevice("tulvexDevice2", 2, 12353);
    ASSERT_TRUE(run("tulvexBindPressed 2").ok()) << shown();
    ASSERT_EQ(created.size(), 28U);
    EXPECT_EQ(created[0], "tulvexCharacter2_Skeleton");
    EXPECT_EQ(nodes["tulvexCharacter2_Skeleton_root"].parent, "tulvexCharacter2_Skeleton");
    EXPECT_EQ(nodes["tulvexCharacter2_Skeleton_head"].parent, "tulvexCharacter2_Skeleton_neck_2");
    EXPECT_EQ(nodes["tulvexCharacter2_Skeleton_r_toes"].type, "joint");
    EXPECT_EQ(connections.size(), 54U);
    EXPECT_EQ(connections[1], std::make_pair(std::string("tulvexDevice2.outputRotations[0]"),
                                             std::string("tulvexCharacter2_Skeleton_root.rotate")));
    EXPECT_EQ(characterized, (std::vector<std::vector<std::string>>{{"tulvexDevice2"}}));
    MelValue enabled;
    ASSERT_TRUE(mel.globalValue("$gTulvexBindEnabled", enabled));
    EXPECT_EQ(enabled.element(2), MelValue::ofInt(0));
    // Binding again replaces the earlier skeleton.
    created.clear();
    ASSERT_TRUE(run("tulvexBindPressed 2").ok()) << shown();
    EXPECT_EQ(created.size(), 28U);
}

TEST_F(MelScriptsTest, ThePluginsCommandTextsKeepStateForClosedPanels) {
    ASSERT_TRUE(run("TulvexMayaInitStrings").ok()) << shown();
    EXPECT_EQ(resources.size(), 56U);
    for (const char* text :
         {"enableBindButton 2 1", "updateLiveCheckbox 2 0",
          "displayMessage \"Data received. Press Bind to Character button\"2",
          "displayAvailableIPs \"Your local IPs:\t\t\t192.168.1.20\"2", "createTulvexShelf"}) {
        EXPECT_TRUE(run(text).ok()) << text << "\n" << shown();
    }
    MelValue value;
    ASSERT_TRUE(mel.globalValue("$gTulvexBindEnabled", value));
    EXPECT_EQ(value, MelValue::ofInts({0, 0, 1}));
    ASSERT_TRUE(mel.globalValue("$gTulvexMessages", value));
    EXPECT_EQ(value.element(2).asString(), "Data received. Press Bind to Character button");
    ASSERT_TRUE(mel.globalValue("$gTulvexAddressLists", value));
    EXPECT_EQ(value.element(2).asString(), "Your local IPs:\t\t\t192.168.1.20");
    ASSERT_TRUE(run("cleanUpUI").ok()) << shown();
    ASSERT_TRUE(mel.globalValue("$gTulvexMessages", value));
    EXPECT_EQ(value.size(), 0U);
    EXPECT_TRUE(lines().empty());
}

TEST_F(MelScriptsTest, AMissingNodeWarnsWithTheScriptsLine) {
    ASSERT_TRUE(run("TulvexMayaInitStrings").ok());
    EXPECT_EQ(valueOf("tulvexPanelNode(5)"), MelValue::ofString(""));
    // The line of the script's `warning`.
    const std::string path = std::string(TULVEX_SOURCE_SCRIPTS_DIR) + "/UICallbacks.mel";
    std::ifstream script(path);
    std::string text;
    int line = 0;
    int warningLine = 0;
    while (std::getline(script, text)) {
        ++line;
        if (warningLine == 0 && text.find("warning `format") != std::string::npos) {
            warningLine = line;
        }
    }
    ASSERT_GT(warningLine, 0);
    EXPECT_EQ(lines(), std::vector<std::string>{"// Warning: file: " + path + " line " +
                                                std::to_string(warningLine) +
                                                ": Tulvex: no device node has device id 5. //"});
    EXPECT_TRUE(run("tulvexLiveChanged 5 1").ok());
    EXPECT_EQ(lines().size(), 2U);
}

}  // namespace
