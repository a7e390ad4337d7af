// The host-control face of the UI (mayahost/UiControl.h), over the MEL engine's MelUi.
#include <mayahost/UiControl.h>

#include "HostMel.h"
#include "HostRules.h"
#include "HostState.h"
#include "MelText.h"
#include "UiDump.h"

namespace mayahost {

namespace {

MelUi& ui() {
    HostRules::mainThreadCall("the UI control face");
    return hostState().mel->ui();
}

UiOutcome report(const UiUser::Result& result, std::string* message) {
    if (message != nullptr) {
        *message = result.message;
    }
    switch (result.outcome) {
        case UiUser::Outcome::Done:
            return UiOutcome::Done;
        case UiUser::Outcome::NotFound:
            return UiOutcome::NotFound;
        case UiUser::Outcome::Unavailable:
            return UiOutcome::Unavailable;
        default:
            return UiOutcome::ScriptFailed;
    }
}

}  // namespace

std::vector<std::string> uiWindows() {
    std::vector<std::string> names;
    for (const UiElement* window : ui().tree().windows()) {
        names.push_back(window->name());
    }
    return names;
}

UiState uiState(const std::string& nameOrPath) {
    MelUi& melUi = ui();
    UiState state;
    const UiElement* element = melUi.tree().find(nameOrPath);
    if (element == nullptr) {
        return state;
    }
    state.exists = true;
    state.type = element->type();
    state.path = element->path();
    state.caption = element->caption();
    state.text = element->text("text");
    state.command = element->text("command");
    state.value = element->integer("value");
    state.enabled = element->enabled();
    state.visible = element->visible();
    state.editable = element->integer("editable", 1) != 0;
    std::string why;
    state.reachable = melUi.user().reachable(*element, why);
    for (const auto& child : element->children()) {
        state.children.push_back(child->name());
    }
    if (element->type() == "optionMenu") {
        const UiElement* chosen = element->chosenItem();
        state.chosen = chosen != nullptr ? chosen->caption() : std::string();
        for (const auto& child : element->children()) {
            state.items.push_back(child->caption());
        }
    }
    return state;
}

std::vector<std::string> uiElements(const std::string& pattern) {
    std::vector<std::string> paths;
    for (const UiElement* element : ui().tree().all()) {
        if (MelText::glob(element->name(), pattern)) {
            paths.push_back(element->path());
        }
    }
    return paths;
}

std::string uiDump(const std::string& nameOrPath) {
    const UiElement* element = ui().tree().find(nameOrPath);
    return element != nullptr ? UiDump::text(*element) : std::string();
}

UiOutcome uiClick(const std::string& nameOrPath, std::string* message) {
    return report(ui().user().click(nameOrPath), message);
}

UiOutcome uiSetCheckBox(const std::string& nameOrPath, bool value, std::string* message) {
    return report(ui().user().setCheckBox(nameOrPath, value), message);
}

UiOutcome uiTypeText(const std::string& nameOrPath, const std::string& text, std::string* message) {
    return report(ui().user().typeText(nameOrPath, text), message);
}

UiOutcome uiChooseMenuItem(const std::string& nameOrPath, const std::string& label,
                           std::string* message) {
    return report(ui().user().chooseMenuItem(nameOrPath, label), message);
}

UiOutcome uiCloseWindow(const std::string& nameOrPath, std::string* message) {
    return report(ui().user().closeWindow(nameOrPath), message);
}

void setCheckBoxEditRunsCommands(bool runs) {
    ui().options().checkBoxEditRunsCommands = runs;
}

}  // namespace mayahost
