#pragma once

#include <string>
#include <vector>

#include "MelFlag.h"
#include "MelInvocation.h"
#include "MelResult.h"
#include "MelValue.h"
#include "UiElement.h"
#include "UiOptions.h"
#include "UiTree.h"

namespace mayahost {

class MelContext;
class MelInterpreter;

// Maya's UI commands on a UiTree: window, showWindow, columnLayout, rowLayout, shelfLayout,
// shelfTabLayout, text, checkBox, button, scrollField, shelfButton, optionMenu, menuItem,
// layout, control, setParent, deleteUI, lsUI and saveShelf, each with its flags, modes and
// Maya's errors. Element commands parse their flags and delegate to one create/query/edit
// path that stores each flag's value on the element. Main thread only.
class UiCommands {
public:
    UiCommands(UiTree& tree, const UiOptions& options) : tree_(tree), options_(options) {}
    UiCommands(const UiCommands&) = delete;
    UiCommands& operator=(const UiCommands&) = delete;

    // Registers every command; false when one of the names is taken.
    bool install(MelInterpreter& interpreter);

    // What one element command makes and which flags it has beyond the shared ones.
    struct Form {
        std::string type;
        UiElement::Kind kind;
        std::vector<MelFlag> flags;
        bool generic = false;  // `layout` and `control`: edit and query any element of the kind
    };

private:
    MelResult element(const Form& form, const MelInvocation& call, MelContext& context);
    MelResult create(const Form& form, const MelInvocation& call);
    MelResult query(const Form& form, UiElement& element, const MelInvocation& call);
    MelResult edit(UiElement& element, const MelInvocation& call, MelContext& context);
    void store(UiElement& element, const MelInvocation::FlagUse& use);
    bool matches(const Form& form, const UiElement& element) const;

    MelResult showWindow(const MelInvocation& call);
    MelResult setParent(const MelInvocation& call);
    MelResult deleteUi(const MelInvocation& call);
    MelResult lsUi(const MelInvocation& call) const;
    // Writes a shelf to a file as Maya saves its shelves at exit.
    MelResult saveShelf(const MelInvocation& call);
    MelResult batchRefusal(const std::string& command) const;

    UiTree& tree_;
    const UiOptions& options_;
    std::vector<Form> forms_;
};

}  // namespace mayahost
