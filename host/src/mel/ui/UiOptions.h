#pragma once

namespace mayahost {

// How the host's UI behaves where Maya gives a choice or leaves it open.
//   batch                     mayabatch: no main window; UI commands other than `-exists`
//                             and `lsUI` fail
//   checkBoxEditRunsCommands  whether `checkBox -edit -value` runs the box's on/off/change
//                             commands, which Maya does not document; the host's choice is
//                             not to, as with textField -text; scripts must be right either way
struct UiOptions {
    bool batch = false;
    bool checkBoxEditRunsCommands = false;
};

}  // namespace mayahost
