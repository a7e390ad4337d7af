// Plug-in registration through MFnPlugin: node types, commands, UI strings, failure paths,
// script sourcing and status reporting.
#define MNoVersionString
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxNode.h>
#include <maya/MStringArray.h>
#include <maya/MStringResource.h>
#include <maya/MStringResourceId.h>

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
    // The procedure reads what the function registered, so it only succeeds after it.
    ASSERT_TRUE(MGlobal::executeCommand(
        "global proc hostInitStrings() {"
        "    global string $gSeen[];"
        "    $gSeen[size($gSeen)] = `getPluginResource \"hostTestPlugin\" \"kHello\"`;"
        "}"));
    MFnPlugin fn(plugin);
    auto registerStrings = []() {
        return MStringResource::registerString(
            MStringResourceId("hostTestPlugin", "kHello", "hello"));
    };
    ASSERT_TRUE(fn.registerUIStrings(registerStrings, "hostInitStrings"));
    MStringArray seen;
    ASSERT_TRUE(MGlobal::executeCommand("global string $gSeen[]; $gSeen", seen));
    ASSERT_EQ(seen.length(), 1U);
    EXPECT_EQ(std::string(seen[0].asChar()), "hello");

    EXPECT_FALSE(fn.registerUIStrings(registerStrings, "notSourcedYet"));
    EXPECT_EQ(mayahost::takeScriptErrors(),
              std::vector<std::string>{"Cannot find procedure \"notSourcedYet\"."});

    EXPECT_FALSE(
        fn.registerUIStrings([]() { return MStatus(MStatus::kFailure); }, "hostInitStrings"));
    ASSERT_TRUE(MGlobal::executeCommand("global string $gSeen[]; $gSeen", seen));
    EXPECT_EQ(seen.length(), 1U) << "a failed string registration runs no procedure";
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

TEST_F(ScriptFolders, MissingScriptFailsWithMelsError) {
    mayahost::setScriptPath({root + "/first"});
    EXPECT_FALSE(MGlobal::sourceFile("Only.mel"));
    EXPECT_FALSE(MGlobal::sourceFile((root + "/first/Nope.mel").c_str()));
    EXPECT_TRUE(mayahost::sourcedFiles().empty());
    EXPECT_EQ(mayahost::takeScriptErrors(),
              (std::vector<std::string>{
                  "Cannot find file \"Only.mel\" for source statement.",
                  "Cannot find file \"" + root + "/first/Nope.mel\" for source statement."}));
}

TEST_F(ScriptFolders, SourcedScriptsRunAndDefineTheirProcedures) {
    std::ofstream(root + "/first/Defines.mel")
        << "global proc string hostGreeting() { return \"hi\"; }\n"
        << "global int $gHostSourced;\n$gHostSourced++;\n";
    mayahost::setScriptPath({root + "/first"});
    ASSERT_TRUE(MGlobal::sourceFile("Defines"));  // a bare name gets ".mel"
    ASSERT_TRUE(MGlobal::sourceFile("Defines.mel"));
    MString greeting;
    ASSERT_TRUE(MGlobal::executeCommand("hostGreeting()", greeting));
    EXPECT_EQ(std::string(greeting.asChar()), "hi");
    int count = 0;
    ASSERT_TRUE(MGlobal::executeCommand("global int $gHostSourced; $gHostSourced", count));
    EXPECT_EQ(count, 2) << "each source runs the file again";
    std::remove((root + "/first/Defines.mel").c_str());
}

TEST_F(PluginTest, PerrorWritesTheMessageAndTheStatusToStandardError) {
    testing::internal::CaptureStderr();
    MStatus(MStatus::kFailure).perror("registerNode");
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_NE(text.find("registerNode"), std::string::npos);
    EXPECT_NE(text.find("kFailure"), std::string::npos);
}

}  // namespace
