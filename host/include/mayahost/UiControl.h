#pragma once

// The host's UI as tests and tools see it: the windows, layouts and controls MEL built, their
// state, and a person's actions on them. A person can act only on what they could reach in
// Maya: an element shown in a shown window, enabled (and editable where that applies).
// Actions run the element's commands as Maya does; all of this is main thread only.

#include <string>
#include <vector>

namespace mayahost {

// One element as a person would read it.
struct UiState {
    bool exists = false;
    std::string type;     // the command that made it: "window", "checkBox", "shelfButton", ...
    std::string path;     // full path, "window|layout|control"
    std::string caption;  // a window's title, a control's label, a field's text
    std::string text;     // a scroll field's text
    std::string command;  // a button's or shelf button's command
    int value = 0;        // a check box's value
    std::string chosen;   // the label of an option menu's chosen item
    std::vector<std::string> items;  // the labels of an option menu's items, in order
    bool enabled = true;
    bool visible = true;
    bool editable = true;
    bool reachable = false;             // a person could act on it now
    std::vector<std::string> children;  // names, in order
};

// Names of the windows, shown or not, oldest first; the main window too in interactive mode.
std::vector<std::string> uiWindows();
// The element of that name or path; `exists` false when there is none.
UiState uiState(const std::string& nameOrPath);
// Full paths of the elements whose name matches a glob (`lsUI` style), in tree order.
std::vector<std::string> uiElements(const std::string& pattern = "*");
// A window (or any element) and everything below it, one element a line with its state:
//   window tulvexPanel0 "Tulvex Device 0 (tulvexDevice0)" shown
//     checkBox tulvexPanel0_live "Live" on
// Empty when there is no such element.
std::string uiDump(const std::string& nameOrPath);

enum class UiOutcome {
    Done,          // it happened and the commands it ran succeeded
    NotFound,      // no such element
    Unavailable,   // hidden, disabled, read-only, or not something that takes this action
    ScriptFailed,  // it happened, and a command it ran failed (the error was shown)
};

// A click: a button or shelf button runs its command, a check box toggles and runs its
// on/off command, then its change command. `message` says why, when it did not go well.
UiOutcome uiClick(const std::string& nameOrPath, std::string* message = nullptr);
// Ticks or unticks a check box as a click would; nothing happens when it already is so.
UiOutcome uiSetCheckBox(const std::string& nameOrPath, bool value, std::string* message = nullptr);
// Types a new text into an editable scroll field, then its change command runs.
UiOutcome uiTypeText(const std::string& nameOrPath, const std::string& text,
                     std::string* message = nullptr);
// Opens an option menu (its before-show-popup command runs) and picks the item of that label; its
// change command runs when the choice changed.
UiOutcome uiChooseMenuItem(const std::string& nameOrPath, const std::string& label,
                           std::string* message = nullptr);
// Closes a window with its title bar: its close command runs, then it is deleted (hidden,
// when it was made with -retain).
UiOutcome uiCloseWindow(const std::string& nameOrPath, std::string* message = nullptr);

// Whether `checkBox -edit -value` runs the box's on/off/change commands. Maya does not say;
// the host's choice is that it does not. Tests switch it to check scripts work either way.
void setCheckBoxEditRunsCommands(bool runs);

}  // namespace mayahost
