#include <gtest/gtest.h>
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

#include "TulvexDataHandler.h"
#include "ZarnMotionFormat.h"

namespace {

const std::string kPluginDir = TULVEX_TEST_PLUGIN_DIR;

std::string pluginDirOfTestLibrary(int missingEntryPoint) {
    return std::string(TULVEX_TEST_LIBS_DIR) + "/missing_" + std::to_string(missingEntryPoint) +
           "/plug-ins/" + TULVEX_TEST_PLATFORM_DIR;
}

bool anySlotSet() {
    return ZarnMotionFormat::IsZmfBytes != nullptr ||
           ZarnMotionFormat::IsSkeletonDefinitionBytes != nullptr ||
           ZarnMotionFormat::IsFrameDataBytes != nullptr ||
           ZarnMotionFormat::ConvertBytesToSkeletonDefinition != nullptr ||
           ZarnMotionFormat::ConvertBytesToFrameData != nullptr;
}

class ZarnMotionFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZarnMotionFormat::Shutdown();
        mayahost::takeIdleCommands();
    }
    void TearDown() override {
        ZarnMotionFormat::Shutdown();
        mayahost::takeIdleCommands();
    }
};

TEST_F(ZarnMotionFormatTest, PathLiesTwoFoldersAboveThePluginFolder) {
    ZarnMotionFormat::mPluginPath = "/a/b/plug-ins";
#if defined(__APPLE__)
    EXPECT_EQ(ZarnMotionFormat::GetDLLPath(),
              "/a/b/plug-ins/../../ZarnMotionFormat/mac//"
              "zarn_motion_format.bundle/Contents/MacOS/zarn_motion_format");
#else
    EXPECT_EQ(ZarnMotionFormat::GetDLLPath(),
              "/a/b/plug-ins/../../ZarnMotionFormat/linux//zarn_motion_format.so");
#endif
}

TEST_F(ZarnMotionFormatTest, BindsTheStagedLibraryOnceAndReleasesIt) {
    ZarnMotionFormat::Initialize(kPluginDir);
    ASSERT_TRUE(ZarnMotionFormat::IsBound());
    EXPECT_EQ(ZarnMotionFormat::mPluginPath, kPluginDir);
    EXPECT_TRUE(mayahost::pendingIdleCommands().empty());

    // A second Initialize while bound changes nothing, even with another path.
    void* const handle = ZarnMotionFormat::mDllHandle;
    ZarnMotionFormat::Initialize("/nowhere/plug-ins");
    EXPECT_EQ(ZarnMotionFormat::mDllHandle, handle);
    EXPECT_EQ(ZarnMotionFormat::mPluginPath, kPluginDir);

    ZarnMotionFormat::Shutdown();
    EXPECT_EQ(ZarnMotionFormat::mDllHandle, nullptr);
    EXPECT_FALSE(anySlotSet());
    // Twice, or without a library, does nothing.
    ZarnMotionFormat::Shutdown();
    EXPECT_EQ(ZarnMotionFormat::mDllHandle, nullptr);
    EXPECT_TRUE(mayahost::pendingIdleCommands().empty());
}

TEST_F(ZarnMotionFormatTest, MissingLibraryReportsOnceOnEachChannel) {
    ZarnMotionFormat::mPluginPath = "/nonexistent/Tulvex/plug-ins/x";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ZarnMotionFormat::LoadDll());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("A dynamic linking error occurred: ", 0), 0U) << err;
    EXPECT_NE(err.find("zarn_motion_format"), std::string::npos) << err;
    EXPECT_EQ(err.back(), '\n');
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "exactly one line: " << err;

    EXPECT_EQ(mayahost::takeIdleCommands(),
              std::vector<std::string>{"error \"Failed to import ZarnMotionFormat library. "
                                       "Plug-in will not be functional.\""});
    EXPECT_EQ(ZarnMotionFormat::mDllHandle, nullptr);
}

TEST_F(ZarnMotionFormatTest, FailedInitializeCanBeRetriedWithAnotherPath) {
    testing::internal::CaptureStderr();
    ZarnMotionFormat::Initialize("/nonexistent/plug-ins/x");
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(ZarnMotionFormat::IsBound());
    EXPECT_FALSE(anySlotSet());
    mayahost::takeIdleCommands();

    ZarnMotionFormat::Initialize(kPluginDir);
    EXPECT_TRUE(ZarnMotionFormat::IsBound());
}

TEST_F(ZarnMotionFormatTest, MissingEntryPointReportsItAndEveryLaterNameAndCloses) {
    const std::string expected = "error \"Failed to import ZarnMotionFormat function\"";
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE("first missing entry point " + std::to_string(k));
        ZarnMotionFormat::Initialize(pluginDirOfTestLibrary(k));
        const std::vector<std::string> reports = mayahost::takeIdleCommands();
        EXPECT_EQ(reports, std::vector<std::string>(static_cast<std::size_t>(6 - k), expected));
        EXPECT_EQ(ZarnMotionFormat::mDllHandle, nullptr);
        EXPECT_FALSE(anySlotSet());

        // Nothing is called while unbound: every buffer is dropped.
        TulvexDataHandler handler;
        std::vector<std::byte> buffer(4096);
        EXPECT_FALSE(handler.IsFrameData(buffer.data(), 4096));
        EXPECT_FALSE(handler.IsSkeletonDefinition(buffer.data(), 4096));
        EXPECT_FALSE(handler.ProcessSkeletonDefinitionData(buffer.data(), 4096));
    }
}

}  // namespace
