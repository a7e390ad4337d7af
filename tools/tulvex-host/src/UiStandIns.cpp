#include "UiStandIns.h"

#include <mayahost/HostControl.h>

#include <charconv>

#include "PerformerNode.h"

namespace {

constexpr const char* kQuietProcedures[] = {
    "TulvexMayaInitStrings", "createTulvexShelf",  "cleanUpUI",
    "displayAvailableIPs",   "updateLiveCheckbox", "tulvexTakeBaked"};
constexpr const char* kPanelProcedures[] = {"enableBindButton", "displayMessage"};

MStatus doNothing(const std::vector<std::string>& /*args*/, const std::string& /*text*/) {
    return MStatus::kSuccess;
}

}  // namespace

UiStandIns::UiStandIns() {
    // The shelf, the strings and the address list have no place in a headless host; the live
    // box is read from the node's own plug instead.
    for (const char* name : kQuietProcedures) {
        mayahost::registerProcedure(name, doNothing);
    }
    mayahost::registerProcedure(
        "enableBindButton", [this](const std::vector<std::string>& args, const std::string&) {
            PerformerNode* node = args.size() == 2 ? nodeFor(args[0]) : nullptr;
            if (node != nullptr) {
                node->enableBind(args[1] == "1");
            }
            return MStatus(MStatus::kSuccess);
        });
    mayahost::registerProcedure(
        "displayMessage", [this](const std::vector<std::string>& args, const std::string&) {
            PerformerNode* node = args.size() == 2 ? nodeFor(args[1]) : nullptr;
            if (node != nullptr) {
                node->showMessage(args[0]);
            }
            return MStatus(MStatus::kSuccess);
        });
}

UiStandIns::~UiStandIns() {
    for (const char* name : kPanelProcedures) {
        mayahost::registerProcedure(name, doNothing);
    }
}

void UiStandIns::attach(PerformerNode& node) {
    mNodes.push_back(&node);
}

PerformerNode* UiStandIns::nodeFor(const std::string& deviceIdText) const {
    int deviceId = -1;
    const char* end = deviceIdText.data() + deviceIdText.size();
    const auto [ptr, ec] = std::from_chars(deviceIdText.data(), end, deviceId);
    if (ec != std::errc() || ptr != end) {
        return nullptr;
    }
    for (PerformerNode* node : mNodes) {
        if (node->deviceId() == deviceId) {
            return node;
        }
    }
    return nullptr;
}
