#pragma once

#include <string>

#include "UiCommands.h"
#include "UiOptions.h"
#include "UiTree.h"
#include "UiUser.h"

namespace mayahost {

class MelInterpreter;

// The UI of a MEL interpreter: the control tree, Maya's UI commands on it, the user who acts
// on it, and the main window an interactive Maya starts with. Main thread only.
class MelUi {
public:
    // The main window and its shelf tab layout, as `$gShelfTopLevel` names it.
    static constexpr const char* kMainWindow = "MayaWindow";
    static constexpr const char* kShelfTopLevel = "MayaWindow|ShelfLayout";

    // Registers the UI commands with the interpreter, which must outlive this.
    explicit MelUi(MelInterpreter& interpreter);
    MelUi(const MelUi&) = delete;
    MelUi& operator=(const MelUi&) = delete;

    // Starts the UI afresh: every element gone; interactively, a shown main window with an
    // empty shelf tab layout and `$gShelfTopLevel` naming it; in batch mode no UI at all and
    // `$gShelfTopLevel` empty (what Maya leaves there is not documented).
    void startUp(bool batch);

    UiTree& tree() { return tree_; }
    UiOptions& options() { return options_; }
    const UiOptions& options() const { return options_; }
    UiUser& user() { return user_; }
    bool installed() const { return installed_; }

private:
    MelInterpreter& interpreter_;
    UiTree tree_;
    UiOptions options_;
    UiCommands commands_;
    UiUser user_;
    bool installed_ = false;
};

}  // namespace mayahost
