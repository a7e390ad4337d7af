#include "UiCommandText.h"

namespace {

std::string flagText(bool flag) {
    return flag ? "1" : "0";
}

// A MEL string literal: quotes and backslashes escaped, and line breaks written as escapes,
// since a literal may not run onto the next line.
std::string quoted(const std::string& text) {
    std::string literal = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                literal += "\\\"";
                break;
            case '\\':
                literal += "\\\\";
                break;
            case '\n':
                literal += "\\n";
                break;
            case '\r':
                literal += "\\r";
                break;
            default:
                literal += c;
        }
    }
    return literal + "\"";
}

// A blank between the closing quote and the id: whether MEL splits "text"0 is not said.
std::string quotedThenId(const char* procedure, const std::string& text, int deviceId) {
    return std::string(procedure) + " " + quoted(text) + " " + std::to_string(deviceId);
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
    return "error " + quoted(message);
}

std::string UiCommandText::takeBaked(int deviceId) {
    return "tulvexTakeBaked " + std::to_string(deviceId);
}
