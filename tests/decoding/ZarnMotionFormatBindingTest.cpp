// The binder looks names up only in the library it opened, and its reports reach MEL as
// literals whatever the (localized) text holds.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

#include "ZarnMotionFormat.h"

namespace {

std::string pluginDirOfTestLibrary(int missingEntryPoint) {
    return std::string(TULVEX_TEST_LIBS_DIR) + "/missing_" + std::to_string(missingEntryPoint) +
           "/plug-ins/" + TULVEX_TEST_PLATFORM_DIR;
}

class ZarnMotionFormatBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        mayahost::resetHost();
        mayahost::setScriptEcho(false);
        ZarnMotionFormat::Shutdown();
    }
    void TearDown() override {
        ZarnMotionFormat::Shutdown();
        mayahost::resetHost();
    }
};

// Another plug-in may have loaded a library with the same names into the global scope; a
// lookup on a null handle would find them there.
TEST_F(ZarnMotionFormatBindingTest, NamesAfterAMissingOneAreNotLookedUpAnywhereElse) {
    ZarnMotionFormat::mPluginPath = TULVEX_TEST_PLUGIN_DIR;
    void* global = dlopen(ZarnMotionFormat::GetDLLPath().c_str(), RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(global, nullptr) << dlerror();
    ASSERT_NE(dlsym(RTLD_DEFAULT, "ConvertBytesToFrameData"), nullptr);
    const std::string expected = "error \"Failed to import ZarnMotionFormat function\"";
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE("first missing entry point " + std::to_string(k));
        ZarnMotionFormat::Initialize(pluginDirOfTestLibrary(k));
        EXPECT_EQ(mayahost::takeIdleCommands(),
                  std::vector<std::string>(static_cast<std::size_t>(6 - k), expected));
        EXPECT_EQ(ZarnMotionFormat::mDllHandle, nullptr);
        EXPECT_FALSE(ZarnMotionFormat::IsBound());
        EXPECT_EQ(ZarnMotionFormat::ConvertBytesToFrameData, nullptr);
    }
    dlclose(global);
}

TEST_F(ZarnMotionFormatBindingTest, ReportsReachMelAsLiterals) {
    const std::string library = "Bibliothek \"zarn\" fehlt: C:\\Tulvex\\ \\\"x\\\" \\n";
    const std::string function = "Funktion\nfehlt \\";
    mayahost::setLocalizedString("TulvexMayaPlugin", "ZMF_IMPORT_ERROR", library);
    mayahost::setLocalizedString("TulvexMayaPlugin", "ZMF_FUNCTION_IMPORT_ERROR", function);

    testing::internal::CaptureStderr();
    ZarnMotionFormat::Initialize("/nonexistent/Tulvex/plug-ins/x");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(mayahost::pendingIdleCommands(),
              std::vector<std::string>{
                  "error \"Bibliothek \\\"zarn\\\" fehlt: C:\\\\Tulvex\\\\ \\\\\\\"x\\\\\\\" "
                  "\\\\n\""});
    mayahost::runIdleQueue();
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{library});

    ZarnMotionFormat::Initialize(pluginDirOfTestLibrary(5));
    EXPECT_EQ(mayahost::pendingIdleCommands(),
              std::vector<std::string>{"error \"Funktion\\nfehlt \\\\\""});
    mayahost::runIdleQueue();
    EXPECT_EQ(mayahost::takeScriptErrors(), std::vector<std::string>{function});
}

}  // namespace
