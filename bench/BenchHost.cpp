#include "BenchHost.h"

#include <fcntl.h>
#include <maya/MFnPlugin.h>
#include <mayahost/HostControl.h>
#include <unistd.h>

#include <cstdio>

#include "TulvexDeviceIdleCmd.h"
#include "TulvexDeviceNode.h"
#include "ZarnMotionFormat.h"

bool BenchHost::setUp(const char* pluginDir) {
    ZarnMotionFormat::Initialize(pluginDir);
    if (!ZarnMotionFormat::IsBound()) {
        std::fprintf(stderr, "could not bind the decoding library from %s\n", pluginDir);
        return false;
    }
    MObject pluginObject = mayahost::pluginObject("TulvexMayaPlugin", pluginDir);
    MFnPlugin plugin(pluginObject);
    if (plugin.registerNode("TulvexDeviceNode", TulvexDeviceNode::id, &TulvexDeviceNode::creator,
                            &TulvexDeviceNode::initialize,
                            MPxNode::kThreadedDeviceNode) != MStatus::kSuccess) {
        std::fprintf(stderr, "could not register the node type\n");
        return false;
    }
    if (plugin.registerCommand(TulvexDeviceNode::kIdleCommand, &TulvexDeviceIdleCmd::creator) !=
        MStatus::kSuccess) {
        std::fprintf(stderr, "could not register the idle command\n");
        return false;
    }
    return true;
}

void BenchHost::tearDown() {
    mayahost::exitHost();
    ZarnMotionFormat::Shutdown();
}

bool BenchHost::openSocketQuietly(TulvexDeviceNode& device) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    const bool redirected = saved >= 0 && null >= 0 && dup2(null, STDOUT_FILENO) >= 0;
    const bool opened = device.openStreamSocket() == MStatus::kSuccess;
    std::fflush(stdout);
    if (redirected) {
        dup2(saved, STDOUT_FILENO);
    }
    if (saved >= 0) {
        close(saved);
    }
    if (null >= 0) {
        close(null);
    }
    return opened;
}
