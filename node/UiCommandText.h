#pragma once

#include <string>

// The MEL command texts a node sends to its user interface. Pure text building, so the exact
// forms the scripts must accept are tested without a host. Integers are plain decimal, flags
// "1" or "0"; texts are MEL string literals, with quotes, backslashes and line breaks escaped.
class UiCommandText {
public:
    static std::string enableBindButton(int deviceId, bool enable);
    static std::string updateLiveCheckbox(int deviceId, bool live);
    // The device id follows the text after a blank.
    static std::string displayMessage(const std::string& message, int deviceId);
    static std::string displayAvailableIPs(const std::string& addressList, int deviceId);
    static std::string error(const std::string& message);
    // Tells the panel a take was baked; it asks the node what was made.
    static std::string takeBaked(int deviceId);

    UiCommandText() = delete;
};
