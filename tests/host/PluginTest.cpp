// Plug-in registration through MFnPlugin: node types, commands, UI strings, failure paths,
// script sourcing and status reporting.
#define MNoVersionString
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxNode.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

// Test thread only: registration runs on the calling thread.
int initializeCalls = 0;
bool initializeSucceeds = true;

class PlainNode : public MPxNode {
public:
    static void* creator() { return new PlainNode; }
    static MStatus initialize() {
        ++initializeCalls;
        MFnNumericAttribute fn;
        value = fn.create("value", "v", MFnNumericData::kDouble, 0);
        MStatus status = addAttribute(value);
        return initializeSucceeds ? status : MStatus(MStatus::kFailure);
    }
    static MObject value;
};
MObject PlainNode::value;

class EmptyCommand : public MPxCommand {
public:
    static void* creator() { return new EmptyCommand; }
};

const MTypeId kPlainId(0x7f003);
int stringsRegistered = 0;

class PluginTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        initializeCalls = 0;
        initializeSucceeds = true;
    }
};

TEST_F(PluginTest, PluginObjectCarriesNameFolderAndFirstDescription) {
    MStatus status;
    MFnPlugin first(plugin, "Vendor A", "2.1", "Any", &status);
    ASSERT_TRUE(status);
    MFnPlugin second(plugin, "Vendor B", "9.9");
    EXPECT_EQ(std::string(second.vendor().asChar()), "Vendor A");
    EXPECT_EQ(std::string(second.version().asChar()), "2.1");
    EXPECT_EQ(std::string(first.name().asChar()), "hostTestPlugin");
    EXPECT_EQ(std::string(first.loadPath().asChar()), "/opt/hostTest/plug-ins");
    EXPECT_TRUE(MFnPlugin::findPlugin("hostTestPlugin") == plugin);
    EXPECT_TRUE(MFnPlugin::findPlugin("other").isNull());

    MObject node = mayahost::createNode("transform");
    MFnPlugin notAPlugin(node, "x", "y", "Any", &status);
    EXPECT_FALSE(status);
    EXPECT_FALSE(notAPlugin.registerCommand("cmd", EmptyCommand::creator));
}

TEST_F(PluginTest, RegisterNodeRunsInitializeOnceWithinTheCall) {
    MFnPlugin fn(plugin);
    EXPECT_FALSE(MFnPlugin::isNodeRegistered("hostPlain"));
    ASSERT_TRUE(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize));
    EXPECT_EQ(initializeCalls, 1);
    EXPECT_TRUE(MFnPlugin::isNodeRegistered("hostPlain"));
    mayahost::createNode("hostPlain");
    mayahost::createNode("hostPlain");
    EXPECT_EQ(initializeCalls, 1);
    EXPECT_TRUE(MFnPlugin::isNodeRegistered("transform"));
}

TEST_F(PluginTest, FailingInitializeLeavesTheTypeUnregistered) {
    MFnPlugin fn(plugin);
    initializeSucceeds = false;
    EXPECT_FALSE(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize));
    EXPECT_FALSE(MFnPlugin::isNodeRegistered("hostPlain"));
    EXPECT_TRUE(mayahost::createNode("hostPlain").isNull());
    initializeSucceeds = true;
    EXPECT_TRUE(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize));
}

TEST_F(PluginTest, TakenNameOrIdIsRefused) {
    MFnPlugin fn(plugin);
    ASSERT_TRUE(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize));
    EXPECT_FALSE(fn.registerNode("hostPlain", 0x7f0ff, PlainNode::creator, PlainNode::initialize));
    EXPECT_FALSE(fn.registerNode("hostOther", kPlainId, PlainNode::creator, PlainNode::initialize));
    EXPECT_FALSE(fn.registerNode("transform", 0x7f0fe, PlainNode::creator, PlainNode::initialize));
    EXPECT_EQ(mayahost::takeDisplayedErrors().size(), 3U);
}

TEST_F(PluginTest, AttributesAreAddedOnlyDuringInitialize) {
    MFnNumericAttribute fn;
    MObject stray = fn.create("stray", "st", MFnNumericData::kInt, 0);
    EXPECT_FALSE(MPxNode::addAttribute(stray));
    EXPECT_FALSE(MPxNode::attributeAffects(stray, stray));
}

TEST_F(PluginTest, DeregisterNodeFailsWhileNodesOfTheTypeExist) {
    MFnPlugin fn(plugin);
    ASSERT_TRUE(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize));
    MObject node = mayahost::createNode("hostPlain");
    EXPECT_EQ(fn.deregisterNode(kPlainId), MStatus::kFailure);
    EXPECT_TRUE(MFnPlugin::isNodeRegistered("hostPlain"));
    ASSERT_TRUE(mayahost::deleteNode(node));
    EXPECT_TRUE(fn.deregisterNode(kPlainId));
    EXPECT_FALSE(MFnPlugin::isNodeRegistered("hostPlain"));
    EXPECT_FALSE(fn.deregisterNode(kPlainId));
}

TEST_F(PluginTest, CommandsRegisterOnce) {
    MFnPlugin fn(plugin);
    ASSERT_TRUE(fn.registerCommand("hostEmpty", EmptyCommand::creator));
    EXPECT_FALSE(fn.registerCommand("hostEmpty", EmptyCommand::creator));
    EXPECT_TRUE(MGlobal::executeCommand("hostEmpty"));
    ASSERT_TRUE(fn.deregisterCommand("hostEmpty"));
    EXPECT_FALSE(fn.deregisterCommand("hostEmpty"));
}

TEST_F(PluginTest, ArmedFaultFailsTheNextCallOnlyAndChangesNothing) {
    MFnPlugin fn(plugin);
    mayahost::failNext(mayahost::HostCall::RegisterNode);
    EXPECT_EQ(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize),
              MStatus::kFailure);
    EXPECT_EQ(initializeCalls, 0);
    EXPECT_FALSE(MFnPlugin::isNodeRegistered("hostPlain"));
    ASSERT_TRUE(fn.registerNode("hostPlain", kPlainId, PlainNode::creator, PlainNode::initialize));

    mayahost::failNext(mayahost::HostCall::DeregisterNode);
    EXPECT_FALSE(fn.deregisterNode(kPlainId));
    EXPECT_TRUE(MFnPlugin::isNodeRegistered("hostPlain"));
    EXPECT_TRUE(fn.deregisterNode(kPlainId));

    mayahost::failNext(mayahost::HostCall::RegisterCommand);
    EXPECT_FALSE(fn.registerCommand("hostEmpty", EmptyCommand::creator));
    ASSERT_TRUE(fn.registerCommand("hostEmpty", EmptyCommand::creator));

    mayahost::failNext(mayahost::HostCall::DeregisterCommand);
    EXPECT_FALSE(fn.deregisterCommand("hostEmpty"));
    EXPECT_TRUE(MGlobal::executeCommand("hostEmpty"));
    EXPECT_TRUE(fn.deregisterCommand("hostEmpty"));

    stringsRegistered = 0;
    mayahost::failNext(mayahost::HostCall::RegisterUIStrings);
    EXPECT_FALSE(fn.registerUIStrings(
        []() {
            ++stringsRegistered;
            return MStatus(MStatus::kSuccess);
        },
        "noProc"));
    EXPECT_EQ(stringsRegistered, 0);
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());  // the procedure was not tried either
}

TEST_F(PluginTest, RegisterUIStringsCallsTheFunctionThenRunsTheProcedure) {
    stringsRegistered = 0;
    std::vector<int> seenByProcedure;
    mayahost::registerProcedure("hostInitStrings", [&](const auto&, const auto&) {
        seenByProcedure.push_back(stringsRegistered);
        return MStatus(MStatus::kSuccess);
    });
    MFnPlugin fn(plugin);
    auto registerStrings = []() {
        ++stringsRegistered;
        return MStatus(MStatus::kSuccess);
    };
    ASSERT_TRUE(fn.registerUIStrings(registerStrings, "hostInitStrings"));
    EXPECT_EQ(seenByProcedure, std::vector<int>{1});  // the function ran first

    EXPECT_FALSE(fn.registerUIStrings(registerStrings, "notSourcedYet"));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"notSourcedYet\"."});

    EXPECT_FALSE(
        fn.registerUIStrings([]() { return MStatus(MStatus::kFailure); }, "hostInitStrings"));
    EXPECT_EQ(seenByProcedure.size(), 1U);
}

class ScriptFolders : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        char pattern[] = "/tmp/hostScriptsXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* folder : {"/first", "/second"}) {
            ASSERT_EQ(mkdir((root + folder).c_str(), 0700), 0);
        }
        touch(root + "/second/Shared.mel");
        touch(root + "/first/Shared.mel");
        touch(root + "/second/Only.mel");
    }
    void TearDown() override {
        for (const char* file : {"/first/Shared.mel", "/second/Shared.mel", "/second/Only.mel"}) {
            std::remove((root + file).c_str());
        }
        rmdir((root + "/first").c_str());
        rmdir((root + "/second").c_str());
        rmdir(root.c_str());
        PluginTest::TearDown();
    }
    static void touch(const std::string& path) { std::ofstream(path) << "// script\n"; }

    std::string root;
};

TEST_F(ScriptFolders, SourceFileResolvesBareNamesAlongTheScriptPath) {
    mayahost::setScriptPath({root + "/first", root + "/second"});
    EXPECT_TRUE(MGlobal::sourceFile("Shared.mel"));
    EXPECT_TRUE(MGlobal::sourceFile("Only.mel"));
    const std::string absolute = root + "/second/Shared.mel";
    EXPECT_TRUE(MGlobal::sourceFile(absolute.c_str()));
    EXPECT_EQ(mayahost::sourcedFiles(),
              (std::vector<std::string>{root + "/first/Shared.mel", root + "/second/Only.mel",
                                        absolute}));
    EXPECT_TRUE(mayahost::takeDisplayedErrors().empty());
}

TEST_F(ScriptFolders, MissingScriptFailsWithAShownError) {
    mayahost::setScriptPath({root + "/first"});
    EXPECT_FALSE(MGlobal::sourceFile("Only.mel"));
    EXPECT_FALSE(MGlobal::sourceFile((root + "/first/Nope.mel").c_str()));
    EXPECT_TRUE(mayahost::sourcedFiles().empty());
    const std::vector<std::string> errors = mayahost::takeDisplayedErrors();
    ASSERT_EQ(errors.size(), 2U);
    EXPECT_NE(errors[0].find("Only.mel"), std::string::npos);
}

TEST_F(PluginTest, PerrorWritesTheMessageAndTheStatusToStandardError) {
    testing::internal::CaptureStderr();
    MStatus(MStatus::kFailure).perror("registerNode");
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_NE(text.find("registerNode"), std::string::npos);
    EXPECT_NE(text.find("kFailure"), std::string::npos);
}

}  // namespace
