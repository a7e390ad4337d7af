#include "UiCommandText.h"

namespace {

std::string flagText(bool flag) {
    return flag ? "1" : "0";
}

std::string quotedThenId(const char* procedure, const std::string& text, int deviceId) {
    return std::string(procedure) + " \"" + text + "\"" + std::to_string(deviceId);
}

}  // namespace

std::string UiCommandText::enableBindButton(int deviceId, bool enable) {
    return "enableBindButton " + std::to_string(deviceId) + " " + flagText(enable);
}

std::string UiCommandText::updateLiveCheckbox(int deviceId, bool live) {
    return "updateLiveCheckbox " + std::to_string(deviceId) + " " + flagText(live);
}

std::string UiCommandText::displayMessage(const std::string& message, int deviceId) {
    return quotedThenId("displayMessage", message, deviceId);
}

std::string UiCommandText::displayAvailableIPs(const std::string& addressList, int deviceId) {
    return quotedThenId("displayAvailableIPs", addressList, deviceId);
}

std::string UiCommandText::error(const std::string& message) {
    return "error \"" + message + "\"";
}
