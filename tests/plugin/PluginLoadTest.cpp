// Loading and unloading the real module in the stand-in host, and the failure paths of both.
#include <arpa/inet.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MStringResource.h>
#include <maya/MStringResourceId.h>
#include <mayahost/UiControl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "LoopbackPort.h"
#include "PluginFixture.h"
#include "TulvexMessages.h"

namespace plugintest {
namespace {

bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool anyStartsWith(const std::vector<std::string>& texts, const std::string& prefix) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& text) { return text.rfind(prefix, 0) == 0; });
}

TEST_F(PluginTest, LoadRegistersEverythingAndQueuesTheShelf) {
    ASSERT_EQ(load(), MStatus::kSuccess);

    // The scripts were sourced by bare name along the script path, in order.
    const std::vector<std::string> sourced = mayahost::sourcedFiles();
    ASSERT_EQ(sourced.size(), 4U);
    EXPECT_EQ(std::filesystem::path(sourced[0]).filename(), "SkeletonHelpers.mel");
    EXPECT_EQ(std::filesystem::path(sourced[1]).filename(), "HumanIKHelpers.mel");
    EXPECT_EQ(std::filesystem::path(sourced[2]).filename(), "UIManagement.mel");
    EXPECT_EQ(std::filesystem::path(sourced[3]).filename(), "UICallbacks.mel");

    // The string table: every key gives its text, also after a localized override goes.
    MStatus status;
    for (const TulvexMessage& message : TulvexMessages::kRegistered) {
        EXPECT_EQ(
            std::string(MStringResource::getString(
                            MStringResourceId("TulvexMayaPlugin", message.key, "other"), status)
                            .asChar()),
            message.defaultText)
            << message.key;
    }

    // The scripts' strings are registered within the load; the shelf is built once Maya is
    // idle, after the load returned; the library bound fine.
    MString label;
    ASSERT_TRUE(MGlobal::executeCommand(
        "getPluginResource \"TulvexMayaPlugin\" \"kTulvexShelfNewLabel\"", label));
    EXPECT_EQ(std::string(label.asChar()), "New Device");
    const std::vector<std::string> queued = mayahost::pendingIdleCommands();
    EXPECT_EQ(queued, std::vector<std::string>{"createTulvexShelf"});
    EXPECT_FALSE(mayahost::uiState("Tulvex").exists);
    EXPECT_EQ(mayahost::runIdleQueue(), 1);
    EXPECT_EQ(mayahost::uiState("Tulvex").type, "shelfLayout");
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());

    // The node type and the command exist.
    MObject node = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(node.isNull());
    EXPECT_EQ(MFnDependencyNode(node).typeId().id(), 528465U);
    EXPECT_EQ(MGlobal::executeCommand("TulvexDidCharacterize TulvexDeviceNode1"),
              MStatus::kSuccess);
}

TEST_F(PluginTest, EachNewSceneQueuesOneCleanUp) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::takeIdleCommands();
    mayahost::fileNew();
    EXPECT_EQ(mayahost::takeIdleCommands(), std::vector<std::string>{"cleanUpUI"});
    mayahost::fileNew();
    EXPECT_EQ(mayahost::takeIdleCommands(), std::vector<std::string>{"cleanUpUI"});
}

TEST_F(PluginTest, UnloadTakesTheRegistrationsBack) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::takeIdleCommands();
    EXPECT_EQ(unload(), MStatus::kSuccess);
    EXPECT_TRUE(mayahost::createNode("TulvexDeviceNode").isNull());
    EXPECT_NE(MGlobal::executeCommand("TulvexDidCharacterize x"), MStatus::kSuccess);
    mayahost::takeScriptErrors();
    // The scene hook is gone too.
    mayahost::fileNew();
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
    // And it loads again.
    EXPECT_EQ(load(), MStatus::kSuccess);
}

TEST_F(PluginTest, FailedStringRegistrationFailsTheLoadAndRegistersNothing) {
    mayahost::failNext(mayahost::HostCall::RegisterUIStrings);
    testing::internal::CaptureStderr();
    EXPECT_NE(mayahost::loadPlugin(stagedPlugin()), MStatus::kSuccess);
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("failed to register localized UI strings"),
        std::string::npos);
    EXPECT_TRUE(mayahost::createNode("TulvexDeviceNode").isNull());
    EXPECT_TRUE(mayahost::pendingIdleCommands().empty());
}

TEST_F(PluginTest, FailedCommandRegistrationIsReportedAndTheRestGoesOn) {
    mayahost::failNext(mayahost::HostCall::RegisterCommand);
    testing::internal::CaptureStderr();
    EXPECT_EQ(load(), MStatus::kSuccess);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "failed to register command TulvexDidCharacterize"),
              std::string::npos);
    EXPECT_FALSE(mayahost::createNode("TulvexDeviceNode").isNull());
    EXPECT_TRUE(contains(mayahost::pendingIdleCommands(), "createTulvexShelf"));
}

TEST_F(PluginTest, FailedNodeRegistrationIsReported) {
    mayahost::failNext(mayahost::HostCall::RegisterNode);
    testing::internal::CaptureStderr();
    EXPECT_EQ(load(), MStatus::kSuccess);
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("failed to registerNode TulvexDeviceNode"),
        std::string::npos);
    EXPECT_TRUE(mayahost::createNode("TulvexDeviceNode").isNull());
}

TEST_F(PluginTest, NodeDeregistrationFailureStillReleasesTheRest) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    // A node still in the scene makes the host refuse to deregister its type.
    ASSERT_FALSE(mayahost::createNode("TulvexDeviceNode").isNull());
    testing::internal::CaptureStderr();
    EXPECT_NE(unload(true), MStatus::kSuccess) << "the first failure, the node's, decides";
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("failed to deregisterNode TulvexDeviceNode"),
        std::string::npos);
    EXPECT_NE(MGlobal::executeCommand("TulvexDidCharacterize TulvexDeviceNode1"),
              MStatus::kSuccess);
    mayahost::takeScriptErrors();
}

TEST_F(PluginTest, ANodeLeftAfterAFailedUnloadStillDecodesItsStream) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::runIdleQueue();
    const MObject node = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(node.isNull());
    const int port = loopback::freeUdpPort();
    ASSERT_EQ(MFnDependencyNode(node).findPlug("inputPort", false).setInt(port), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    ASSERT_EQ(mayahost::setLive(node, true), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(node);
    testing::internal::CaptureStderr();
    unload(true);
    testing::internal::GetCapturedStderr();

    zmf::SkeletonDefinition definition;
    for (int bone = 0; bone < 27; ++bone) {
        definition.bones.push_back({{0, 0, 0, 1}, {0.1F, 0.05F, 0.0F}});
    }
    const std::vector<std::byte> packet = zmf::encode(definition);
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // The node asks for binding once the definition is decoded.
    bool asked = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!asked && std::chrono::steady_clock::now() < deadline) {
        sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof(to));
        mayahost::waitForRefresh(std::chrono::milliseconds(20));
        mayahost::processRefreshes();
        mayahost::pullDirtyOutputs(node);
        const std::vector<std::string> queued = mayahost::takeIdleCommands();
        asked = std::find(queued.begin(), queued.end(), "enableBindButton 0 1") != queued.end();
    }
    close(fd);
    EXPECT_TRUE(asked) << "the library went while the node still used it";
    mayahost::setLive(node, false);
    testing::internal::GetCapturedStdout();
    mayahost::takeScriptErrors();
}

TEST_F(PluginTest, FailedCommandDeregistrationIsTheUnloadsResult) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::failNext(mayahost::HostCall::DeregisterCommand);
    testing::internal::CaptureStderr();
    EXPECT_NE(unload(), MStatus::kSuccess);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "failed to deregister command TulvexDidCharacterize"),
              std::string::npos);
}

// A copy of the module in a layout without the decoding library, with or without the scripts.
class StrippedInstall {
public:
    explicit StrippedInstall(bool withScripts) {
        mRoot = std::filesystem::temp_directory_path() /
                ("tulvex-stripped-" + std::to_string(::getpid()));
        const std::filesystem::path plugins = mRoot / "plug-ins" / TULVEX_TEST_PLATFORM_DIR;
        std::filesystem::create_directories(plugins);
        mModule = plugins / std::filesystem::path(TULVEX_TEST_PLUGIN_MODULE).filename();
        std::filesystem::copy_file(TULVEX_TEST_PLUGIN_MODULE, mModule,
                                   std::filesystem::copy_options::overwrite_existing);
        if (withScripts) {
            std::filesystem::copy(TULVEX_TEST_SCRIPTS_DIR, mRoot / "scripts");
        }
    }
    ~StrippedInstall() { std::filesystem::remove_all(mRoot); }
    StrippedInstall(const StrippedInstall&) = delete;
    StrippedInstall& operator=(const StrippedInstall&) = delete;
    std::string module() const { return mModule.string(); }
    std::string scripts() const { return (mRoot / "scripts").string(); }

private:
    std::filesystem::path mRoot;
    std::filesystem::path mModule;
};

TEST_F(PluginTest, MissingLibraryDoesNotFailTheLoad) {
    StrippedInstall install(true);
    mayahost::setScriptPath({install.scripts()});
    testing::internal::CaptureStderr();
    ASSERT_EQ(load(install.module()), MStatus::kSuccess);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("A dynamic linking error occurred: "), std::string::npos);

    const std::vector<std::string> queued = mayahost::pendingIdleCommands();
    EXPECT_TRUE(contains(queued,
                         "error \"Failed to import ZarnMotionFormat library. Plug-in "
                         "will not be functional.\""));
    EXPECT_TRUE(contains(queued, "createTulvexShelf"));
    EXPECT_EQ(mayahost::sourcedFiles().size(), 4U);
    EXPECT_FALSE(anyStartsWith(queued, "error \"failed"));
    // The node type is there, it just cannot decode.
    EXPECT_FALSE(mayahost::createNode("TulvexDeviceNode").isNull());
}

TEST_F(PluginTest, MissingScriptsFailTheLoadAtTheStrings) {
    // Without the scripts the strings procedure cannot be found, so the strings cannot be
    // registered and the plug-in refuses to load.
    StrippedInstall install(false);
    mayahost::setScriptPath({install.scripts()});
    testing::internal::CaptureStderr();
    EXPECT_NE(load(install.module()), MStatus::kSuccess);
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("failed to register localized UI strings"),
        std::string::npos);
    EXPECT_TRUE(mayahost::sourcedFiles().empty());
    const std::vector<std::string> errors = mayahost::takeScriptErrors();
    EXPECT_TRUE(contains(errors, "Cannot find file \"SkeletonHelpers.mel\" for source statement."));
    EXPECT_TRUE(contains(errors, "Cannot find procedure \"TulvexMayaInitStrings\"."));
    EXPECT_TRUE(mayahost::createNode("TulvexDeviceNode").isNull());
}

TEST(PluginModule, ExportsOnlyTheEntryPointsTheVersionAndTheSignature) {
    const std::string command =
        "nm -D --defined-only '" + std::string(TULVEX_TEST_PLUGIN_MODULE) + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe.get()) != nullptr) {
        std::string text(line);
        const std::size_t space = text.rfind(' ');
        std::string name = text.substr(space + 1);
        name.erase(name.find_last_not_of("\r\n") + 1);
        symbols.push_back(name);
    }
    std::sort(symbols.begin(), symbols.end());
    EXPECT_EQ(symbols, (std::vector<std::string>{
                           "ADSK_PLUGIN_SIGNATURE", "MApiVersion",
                           "_Z16initializePluginN8Autodesk4Maya16OpenMaya202200007MObjectE",
                           "_Z18uninitializePluginN8Autodesk4Maya16OpenMaya202200007MObjectE"}));
}

}  // namespace
}  // namespace plugintest
