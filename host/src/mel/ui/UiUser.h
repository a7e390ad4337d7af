#pragma once

#include <string>

#include "UiTree.h"

namespace mayahost {

class MelInterpreter;

// A person at the UI: clicks, ticks, types and closes, each only where a person could (the
// element shown in a shown window, enabled, editable), and each running the element's commands
// as Maya does. Commands run as independent MEL; while they run, their element may not be
// deleted. Main thread only.
class UiUser {
public:
    enum class Outcome {
        Done,         // the action happened and its commands ran without error
        NotFound,     // no such element
        Unavailable,  // hidden, disabled, read-only or of a kind that does not take it
        ScriptFailed  // the action happened, and a command it ran failed
    };
    struct Result {
        Outcome outcome = Outcome::Done;
        std::string message;
        bool ok() const { return outcome == Outcome::Done; }
    };

    UiUser(UiTree& tree, MelInterpreter& interpreter) : tree_(tree), interpreter_(interpreter) {}

    // A button or shelf button runs its command; a check box toggles.
    Result click(const std::string& name);
    // Ticks or unticks a check box as a click would; nothing happens when it already is so.
    Result setCheckBox(const std::string& name, bool value);
    // Replaces the text of an editable field, then runs its change command.
    Result typeText(const std::string& name, const std::string& text);
    // Opens an option menu (its before-show-popup command runs, and may rebuild the items) and
    // chooses the item of that label; when that changes the choice (or the menu always calls
    // it), the change command runs with "#1" replaced by the label, as Maya does.
    Result chooseMenuItem(const std::string& name, const std::string& label);
    // Runs the window's close command, then deletes it (hides it, when made with -retain).
    Result closeWindow(const std::string& name);

    // Whether a person can reach the element now, and if not, why.
    bool reachable(const UiElement& element, std::string& why) const;

private:
    Result toggle(UiElement& box);
    Result run(UiElement& element, const std::string& script, const std::string& sourceType);

    UiTree& tree_;
    MelInterpreter& interpreter_;
};

}  // namespace mayahost
