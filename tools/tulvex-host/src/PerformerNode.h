#pragma once

#include <maya/MObject.h>
#include <mayahost/HostControl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "DeviceStatus.h"

// One performer's device node in the scene, and what its panel would show: the node's
// messages, its bind button and whether the bind went through.
class PerformerNode {
public:
    // Creates the node listening on `port`, driven by the scene time.
    PerformerNode(int deviceId, int port);

    int deviceId() const { return mDeviceId; }
    int port() const { return mPort; }
    const std::string& name() const { return mName; }

    // As the live box does, then the evaluation Maya's UI runs after it (which opens or
    // closes the socket).
    void switchLive(bool live);
    bool live() const;
    void setRecording(bool recording);
    double frameRate() const;
    // Asks the node for its stream's counters (the plug-in's statistics command) and keeps
    // them; statistics() is what the last ask returned.
    void refreshStatistics();
    const DeviceStatus& statistics() const { return mStatistics; }
    // outputTranslations, one entry per bone.
    std::vector<std::array<double, 3>> translations() const;

    // Panel side, called by the UI procedures.
    void showMessage(const std::string& message) { mMessage = message; }
    void enableBind(bool enable) { mBindEnabled = enable; }

    // Presses Bind if the node asks for it: the binding command, then the button off again.
    // True when a bind went through.
    bool bindIfAsked();
    bool bound() const { return mBound; }
    // Bound, and frames applied since, by the last statistics: the outputs follow the
    // performer.
    bool streaming() const;

    const std::string& message() const { return mMessage; }
    std::string statusLine() const;

private:
    int mDeviceId;
    int mPort;
    MObject mNode;
    std::string mName;
    std::string mMessage;
    bool mBindEnabled = false;
    bool mBound = false;
    DeviceStatus mStatistics;
    std::uint64_t mFramesAtBind = 0;
};
