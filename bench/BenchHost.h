#pragma once

// Prepares the stand-in host for a benchmark of the node: binds the staged decoding library
// and registers the node type, as the plug-in does at load.
class BenchHost {
public:
    // False, with a message on stderr, when either step fails.
    static bool setUp(const char* pluginDir);
    static void tearDown();

    BenchHost() = delete;
};
