#pragma once

#include <gtest/gtest.h>
#include <maya/MStatus.h>
#include <mayahost/HostControl.h>
#include <mayahost/UiControl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Phone.h"

namespace flowtest {

// A person's session in the stand-in host: the staged plug-in module loaded as Maya loads it,
// with the staged scripts on the script path, and Maya's main loop played by pump(): device
// refreshes, the evaluation the UI asks of device nodes, and the idle queue with its script
// jobs. Everything a test does goes through the shelf, the panels and MEL.
class FlowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static std::string stagedScripts() { return TULVEX_TEST_SCRIPTS_DIR; }
    static std::string stagedPlugin() { return TULVEX_TEST_PLUGIN_MODULE; }

    void loadPlugin();
    void unloadPlugin();
    // Runs the idle queue until nothing is left in it.
    static void idle();
    // One pass of Maya's main loop.
    static void pump();
    // Pumps until `done` holds, at most `timeout`; whether it did.
    static bool pumpUntil(const std::function<bool()>& done,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // MEL that must succeed, and its result as text (an array's elements joined by blanks).
    static std::string mel(const std::string& text);
    static std::vector<std::string> melList(const std::string& text);
    static double melNumber(const std::string& text);

    // Plays the timeline from frame 1 in real time for about `length`, as Maya's loop does,
    // then stops it.
    static void playFor(std::chrono::milliseconds length);

    // The path of the Tulvex shelf button with that label; empty when there is none.
    static std::string shelfButton(const std::string& label);
    // Clicks the shelf's New button and lets Maya go idle.
    static void clickNewDevice();
    // A control of a device's panel: "live", "recording", "bind", "message", "addresses".
    static mayahost::UiState panelControl(const std::string& role, int deviceId);
    static std::string panelControlName(const std::string& role, int deviceId);
    static mayahost::UiOutcome click(const std::string& name);

    // A device made through the shelf on a free port, live, streamed to by a phone, bound
    // through its panel once the skeleton arrived, and moved by frames. Returns the node's
    // name.
    std::string streamAndBind(int deviceId = 0);

    std::unique_ptr<Phone> mPhone;
    static std::chrono::steady_clock::time_point sLastPump;  // for the timers
    bool mLoaded = false;
};

}  // namespace flowtest
