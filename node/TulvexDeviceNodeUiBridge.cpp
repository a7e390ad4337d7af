// The node's side of the MEL user interface: command texts with the node's device id, and
// the characterized flag that the bind hand-shake sets.
#include <ifaddrs.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "LocalAddressList.h"
#include "TulvexDeviceNode.h"
#include "TulvexMessages.h"
#include "UiCommandText.h"

namespace {

void queueCommand(const std::string& text) {
    MGlobal::executeCommandOnIdle(MString(text.c_str()), false);
}

// The main thread writes them as nodes are made, any evaluation thread reads.
std::mutex gAddressTextsMutex;
std::string gYourIpText;     // under gAddressTextsMutex
std::string gGettingIpText;  // under gAddressTextsMutex

}  // namespace

int TulvexDeviceNode::readIntAttribute(const MObject& attribute) {
    MPlug plug(thisMObject(), attribute);
    return plug.asInt();
}

int TulvexDeviceNode::getInputPortValue() {
    return readIntAttribute(mInputPort);
}

int TulvexDeviceNode::getDeviceId() {
    return readIntAttribute(mDeviceId);
}

// Both run on the capture thread too, so they take the device id copied for it.
void TulvexDeviceNode::enableBindCharacterButton(bool enable) {
    queueCommand(UiCommandText::enableBindButton(mDeviceIdForThread.load(), enable));
}

void TulvexDeviceNode::displayUIMessage(const std::string& text) {
    queueCommand(UiCommandText::displayMessage(text, mDeviceIdForThread.load()));
}

void TulvexDeviceNode::setLiveStatus(bool liveState) {
    MPlug plug(thisMObject(), live);
    plug.setBool(liveState);
    const std::string text = UiCommandText::updateLiveCheckbox(getDeviceId(), liveState);
    MGlobal::executeCommand(MString(text.c_str()), false, false);
}

void TulvexDeviceNode::updateIPTextfield() {
    sendAddressList(false);
}

MStatus TulvexDeviceNode::showAddressList() {
    sendAddressList(true);
    return MStatus::kSuccess;
}

void TulvexDeviceNode::setAddressListSource(AddressListSource source) {
    mAddressSource.store(source != nullptr ? source : &systemAddressList);
}

void TulvexDeviceNode::sendAddressList(bool asked) {
    const SteadyTime now = mClock.load()();
    if (!asked) {
        std::lock_guard<std::mutex> lock(mAddressMutex);
        if (!mAddressCache.lookUpDue(now)) {
            return;
        }
    }
    // Looked up without the lock: a command and an evaluation may both list, and the later
    // offer decides.
    const std::string list = mAddressSource.load()();
    bool send = false;
    {
        std::lock_guard<std::mutex> lock(mAddressMutex);
        send = mAddressCache.offer(list, now, asked);
    }
    if (send) {
        queueCommand(UiCommandText::displayAvailableIPs(list, mDeviceIdForThread.load()));
    }
}

void TulvexDeviceNode::prepareAddressListTexts() {
    const std::string heading = TulvexMessages::lookup(TulvexMessages::kYourIp).asChar();
    const std::string error = TulvexMessages::lookup(TulvexMessages::kGettingIpError).asChar();
    std::lock_guard<std::mutex> lock(gAddressTextsMutex);
    gYourIpText = heading;
    gGettingIpText = error;
}

std::string TulvexDeviceNode::systemAddressList() {
    std::string heading;
    std::string errorText;
    {
        std::lock_guard<std::mutex> lock(gAddressTextsMutex);
        heading = gYourIpText;
        errorText = gGettingIpText;
    }
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) == -1) {
        const int error = errno;
        std::string list = errorText;
        std::fprintf(stderr, "%s (%s)\n", list.c_str(), std::strerror(error));
        std::fflush(stderr);
        return list;
    }
    std::string list = LocalAddressList::build(heading, interfaces);
    freeifaddrs(interfaces);
    return list;
}

bool TulvexDeviceNode::hasBeenCharacterized() {
    std::lock_guard<std::mutex> lock(mCharacterizedMutex);
    return mHasBeenCharacterized;
}

void TulvexDeviceNode::setHasBeenCharacterized(bool value) {
    std::lock_guard<std::mutex> lock(mCharacterizedMutex);
    mHasBeenCharacterized = value;
}

MStatus TulvexDeviceNode::CharacterizationComplete() {
    setHasBeenCharacterized(true);
    return MStatus::kSuccess;
}
