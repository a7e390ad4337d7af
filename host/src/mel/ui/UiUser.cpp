#include "UiUser.h"

#include "MelInterpreter.h"

namespace mayahost {

namespace {

UiUser::Result outcome(UiUser::Outcome kind, std::string message = std::string()) {
    return {kind, std::move(message)};
}

}  // namespace

bool UiUser::reachable(const UiElement& element, std::string& why) const {
    const UiElement* window = element.window();
    if (window == nullptr || !window->visible()) {
        why = "'" + element.path() + "' is not in a shown window";
        return false;
    }
    for (const UiElement* at = &element; at != nullptr && at != window; at = at->parent()) {
        if (!at->visible() || at->integer("manage", 1) == 0) {
            why = "'" + at->path() + "' is hidden";
            return false;
        }
        if (!at->enabled()) {
            why = "'" + at->path() + "' is disabled";
            return false;
        }
    }
    return true;
}

UiUser::Result UiUser::run(UiElement& element, const std::string& script,
                           const std::string& sourceType) {
    if (script.empty()) {
        return outcome(Outcome::Done);
    }
    if (sourceType != "mel") {
        return outcome(Outcome::ScriptFailed, "'" + element.path() + "' runs " + sourceType +
                                                  ", which this host does not run.");
    }
    tree_.markRunning(&element, true);
    const MelResult result = interpreter_.runCallback(script);
    tree_.markRunning(&element, false);
    return result.ok() ? outcome(Outcome::Done) : outcome(Outcome::ScriptFailed, result.message());
}

UiUser::Result UiUser::click(const std::string& name) {
    UiElement* element = tree_.find(name);
    if (element == nullptr) {
        return outcome(Outcome::NotFound, "Object '" + name + "' not found.");
    }
    std::string why;
    if (!reachable(*element, why)) {
        return outcome(Outcome::Unavailable, why);
    }
    if (element->type() == "checkBox") {
        return toggle(*element);
    }
    if (element->type() == "button") {
        return run(*element, element->text("command"), "mel");
    }
    if (element->type() == "shelfButton") {
        return run(*element, element->text("command"), element->text("sourceType", "mel"));
    }
    return outcome(Outcome::Unavailable, "'" + element->path() + "' cannot be clicked");
}

UiUser::Result UiUser::toggle(UiElement& box) {
    if (box.integer("editable", 1) == 0) {
        return outcome(Outcome::Unavailable, "'" + box.path() + "' is not editable");
    }
    const bool on = box.integer("value") == 0;
    box.set("value", MelValue::ofInt(on ? 1 : 0));
    Result result = run(box, box.text(on ? "onCommand" : "offCommand"), "mel");
    if (result.ok()) {
        result = run(box, box.text("changeCommand"), "mel");
    }
    return result;
}

UiUser::Result UiUser::setCheckBox(const std::string& name, bool value) {
    UiElement* box = tree_.find(name, [](const UiElement& e) { return e.type() == "checkBox"; });
    if (box == nullptr) {
        return outcome(Outcome::NotFound, "Object '" + name + "' not found.");
    }
    if ((box->integer("value") != 0) == value) {
        return outcome(Outcome::Done);
    }
    return click(box->path());
}

UiUser::Result UiUser::typeText(const std::string& name, const std::string& text) {
    UiElement* field =
        tree_.find(name, [](const UiElement& e) { return e.type() == "scrollField"; });
    if (field == nullptr) {
        return outcome(Outcome::NotFound, "Object '" + name + "' not found.");
    }
    std::string why;
    if (!reachable(*field, why)) {
        return outcome(Outcome::Unavailable, why);
    }
    if (field->integer("editable", 1) == 0) {
        return outcome(Outcome::Unavailable, "'" + field->path() + "' is not editable");
    }
    field->set("text", MelValue::ofString(text));
    return run(*field, field->text("changeCommand"), "mel");
}

UiUser::Result UiUser::chooseMenuItem(const std::string& name, const std::string& label) {
    UiElement* menu = tree_.find(name, [](const UiElement& e) { return e.type() == "optionMenu"; });
    if (menu == nullptr) {
        return outcome(Outcome::NotFound, "Object '" + name + "' not found.");
    }
    std::string why;
    if (!reachable(*menu, why)) {
        return outcome(Outcome::Unavailable, why);
    }
    Result opened = run(*menu, menu->text("beforeShowPopup"), "mel");
    if (!opened.ok()) {
        return opened;
    }
    UiElement* item = nullptr;
    for (const auto& child : menu->children()) {
        item = item == nullptr && child->caption() == label ? child.get() : item;
    }
    if (item == nullptr) {
        return outcome(Outcome::NotFound,
                       "'" + menu->path() + "' has no item labelled '" + label + "'");
    }
    if (!item->enabled()) {
        return outcome(Outcome::Unavailable, "'" + item->path() + "' is disabled");
    }
    const bool changed = menu->chosenItem() != item;
    menu->choose(*item);
    if (!changed && menu->integer("alwaysCallChangeCommand") == 0) {
        return outcome(Outcome::Done);
    }
    std::string script = menu->text("changeCommand");
    for (std::size_t at = script.find("#1"); at != std::string::npos;
         at = script.find("#1", at + label.size())) {
        script.replace(at, 2, label);
    }
    tree_.markRunning(item, true);
    Result result = run(*menu, script, "mel");
    tree_.markRunning(item, false);
    return result;
}

UiUser::Result UiUser::closeWindow(const std::string& name) {
    UiElement* window =
        tree_.find(name, [](const UiElement& e) { return e.kind() == UiElement::Kind::Window; });
    if (window == nullptr) {
        return outcome(Outcome::NotFound, "Object '" + name + "' not found.");
    }
    if (!window->visible()) {
        return outcome(Outcome::Unavailable, "'" + window->path() + "' is not shown");
    }
    Result result = run(*window, window->text("closeCommand"), "mel");
    if (window->has("retain")) {
        window->set("visible", MelValue::ofInt(0));
    } else {
        tree_.remove(window);
    }
    return result;
}

}  // namespace mayahost
