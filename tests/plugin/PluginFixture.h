#pragma once

#include <gtest/gtest.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

namespace plugintest {

// Loads the staged plug-in module into a fresh stand-in host, as Maya's plug-in manager
// would, with the staged scripts on the script path: the plug-in sources them and they run.
class PluginTest : public ::testing::Test {
protected:
    static std::string stagedPlugin() { return TULVEX_TEST_PLUGIN_MODULE; }
    static std::string stagedScripts() { return TULVEX_TEST_SCRIPTS_DIR; }

    void SetUp() override {
        mayahost::resetHost();
        mayahost::setScriptPath({stagedScripts()});
    }
    void TearDown() override {
        if (mLoaded) {
            mayahost::exitHost();
            mayahost::unloadPlugin(mModule);
        }
        mayahost::resetHost();
    }

    MStatus load(const std::string& module = stagedPlugin()) {
        mModule = module;
        const MStatus status = mayahost::loadPlugin(module);
        mLoaded = status == MStatus::kSuccess;
        return status;
    }
    // A forced unload goes ahead while nodes of the plug-in are in the scene.
    MStatus unload(bool force = false) {
        mLoaded = false;
        return mayahost::unloadPlugin(mModule, force);
    }

    std::string mModule;
    bool mLoaded = false;
};

}  // namespace plugintest
