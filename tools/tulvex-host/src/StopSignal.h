#pragma once

// Ctrl-C and SIGTERM end a run cleanly: the handler only sets a flag, and every loop of the
// host watches it, switches the nodes off and unloads the plug-in.
class StopSignal {
public:
    static void install();
    static bool requested();

    StopSignal() = delete;
};
