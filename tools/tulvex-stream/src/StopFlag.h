#pragma once

#include <chrono>

// Ctrl-C and SIGTERM end a run cleanly: the handler only sets this flag, and every wait of
// the tool watches it.
class StopFlag {
public:
    static void installSignalHandlers();
    static void request();
    static void reset();
    static bool requested();

    // Sleeps until the deadline; false (early) once a stop is requested.
    static bool waitUntil(std::chrono::steady_clock::time_point deadline);
};
