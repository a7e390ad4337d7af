#pragma once

#include <maya/MMessage.h>

// Asks the open panels to refresh their status lines about once a second, while any is open.
// A Maya timer callback on the main thread, queueing the scripts' refresh at idle time.
// Main thread only.
class StatusTimer {
public:
    static constexpr const char* kRefreshCommand = "tulvexRefreshPanels";
    static constexpr float kPeriodSeconds = 1.0F;

    // Either is harmless when the timer already runs, or does not.
    static MStatus start();
    static void stop();
    static bool running();

    StatusTimer() = delete;

private:
    static void tick(float elapsedTime, float lastTime, void* clientData);
    static MCallbackId sCallback;  // main thread only; 0 while stopped
};
