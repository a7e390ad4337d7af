#pragma once

class TulvexDeviceNode;

// Prepares the stand-in host for a benchmark of the node: binds the staged decoding library
// and registers the node type, as the plug-in does at load.
class BenchHost {
public:
    // False, with a message on stderr, when either step fails.
    static bool setUp(const char* pluginDir);
    static void tearDown();
    // Opens a live node's socket as its first evaluation would, without the node's
    // "Initializing Socket" line among the figures. False when the port is taken.
    static bool openSocketQuietly(TulvexDeviceNode& device);

    BenchHost() = delete;
};
