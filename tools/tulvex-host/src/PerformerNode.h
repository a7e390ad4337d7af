#pragma once

#include <maya/MObject.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "DeviceStatus.h"

// One performer's device node, made and driven as a person does in Maya: the Tulvex shelf's
// New Device button, then the node's panel, whose Live and Recording boxes and Bind button
// run the scripts' own commands. What the panel shows is read back from it.
class PerformerNode {
public:
    // Clicks `newDeviceButton` and takes the node it made. When the shelf gave it another
    // port than `port`, sets the port as the attribute editor would and opens the panel
    // again, so that it shows the port.
    PerformerNode(const std::string& newDeviceButton, int port);

    int deviceId() const { return mDeviceId; }
    int port() const { return mPort; }
    const std::string& name() const { return mName; }

    // Ticks or unticks the panel's Live box, then runs the evaluation Maya's UI runs after
    // an attribute changes (which opens or closes the socket).
    void switchLive(bool live);
    // The same, for the end of a run: failures are not reported.
    void leaveLive() noexcept;
    bool live() const;
    void setRecording(bool recording);
    double frameRate() const;
    // Computes the node's outputs that went dirty, as Maya's UI does after a change.
    void evaluate() const;
    // The device node itself.
    MObject object() const { return mNode; }

    // Asks the node for its stream's state (the plug-in's status command) and keeps it;
    // statistics() is what the last ask returned.
    void refreshStatistics();
    const DeviceStatus& statistics() const { return mStatistics; }
    // outputTranslations, one entry per bone.
    std::vector<std::array<double, 3>> translations() const;

    // Clicks Bind when the panel offers it. True when a bind went through.
    bool bindIfAsked();
    bool bound() const { return mBound; }
    // Bound, and frames applied since, by the last statistics: the outputs follow the
    // performer.
    bool streaming() const;

    // The panel's message line, and the whole panel as its controls stand.
    std::string message() const;
    std::string panel() const;
    // The panel's stream status and take lines, as its timer last refreshed them.
    std::string panelStatus() const;
    std::string statusLine() const;

private:
    std::string control(const std::string& role) const;
    void setBox(const std::string& role, bool value);

    int mDeviceId = -1;
    int mPort = 0;
    std::string mName;
    MObject mNode;
    bool mBound = false;
    DeviceStatus mStatistics;
    std::uint64_t mFramesAtBind = 0;
};
