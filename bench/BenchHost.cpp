#include "BenchHost.h"

#include <maya/MFnPlugin.h>
#include <mayahost/HostControl.h>

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
