#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MelValue.h"

namespace mayahost {

// One element of the UI: a window, a layout, a control or an item of an option menu. It keeps the
// value of each flag it was given by the flag's long name (booleans as int 0/1, a flag with several
// arguments as an array), so that an edit stores and a query reads back what the user or a script
// set. Main thread only, as Maya's UI is.
class UiElement {
public:
    enum class Kind { Window, Layout, Control, MenuItem };

    UiElement(Kind kind, std::string type, std::string name, UiElement* parent)
        : kind_(kind), type_(std::move(type)), name_(std::move(name)), parent_(parent) {}
    UiElement(const UiElement&) = delete;
    UiElement& operator=(const UiElement&) = delete;

    Kind kind() const { return kind_; }
    // The command that made it: "window", "columnLayout", "checkBox", ...
    const std::string& type() const { return type_; }
    const std::string& name() const { return name_; }
    UiElement* parent() const { return parent_; }
    // "window|layout|control"; a window's path is its name.
    std::string path() const;
    // The window it lives in (itself for a window), or null for a layout outside any window.
    const UiElement* window() const;

    const std::vector<std::unique_ptr<UiElement>>& children() const { return children_; }
    UiElement* adopt(std::unique_ptr<UiElement> child);
    // Takes a child out; the caller decides when it is destroyed.
    std::unique_ptr<UiElement> release(const UiElement* child);

    bool has(const std::string& flag) const { return values_.count(flag) != 0; }
    // The stored value, or `fallback` when the flag was never given.
    MelValue value(const std::string& flag, const MelValue& fallback = MelValue()) const;
    std::string text(const std::string& flag, const std::string& fallback = std::string()) const;
    int integer(const std::string& flag, int fallback = 0) const;
    void set(const std::string& flag, MelValue value) { values_[flag] = std::move(value); }
    void unset(const std::string& flag) { values_.erase(flag); }

    // An option menu's chosen item: the one chosen last while it is there, else the first;
    // null without items.
    UiElement* chosenItem() const;
    void choose(const UiElement& item) { chosen_ = item.name(); }

    // Shared flags every element answers the same way.
    bool enabled() const { return integer("enable", 1) != 0; }
    bool visible() const;
    // The text a user reads on it: a window's title, a control's label (its name when it has
    // none, as Maya shows it) or a field's text.
    std::string caption() const;

private:
    Kind kind_;
    std::string type_;
    std::string name_;
    UiElement* parent_;
    std::vector<std::unique_ptr<UiElement>> children_;
    std::map<std::string, MelValue> values_;
    std::string chosen_;  // name of an option menu's chosen item
};

}  // namespace mayahost
