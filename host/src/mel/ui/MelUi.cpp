#include "MelUi.h"

#include "MelInterpreter.h"

namespace mayahost {

MelUi::MelUi(MelInterpreter& interpreter)
    : interpreter_(interpreter),
      commands_(tree_, options_),
      user_(tree_, interpreter),
      installed_(commands_.install(interpreter)) {}

void MelUi::startUp(bool batch) {
    tree_.clear();
    options_.batch = batch;
    std::string shelfTopLevel;
    if (!batch) {
        std::string error;
        UiElement* window =
            tree_.create(UiElement::Kind::Window, "window", kMainWindow, nullptr, error);
        window->set("title", MelValue::ofString("Maya"));
        window->set("visible", MelValue::ofInt(1));
        tree_.create(UiElement::Kind::Layout, "shelfTabLayout", "ShelfLayout", window, error);
        tree_.setDefaultParent(nullptr);
        shelfTopLevel = kShelfTopLevel;
    }
    interpreter_.execute("global string $gShelfTopLevel; $gShelfTopLevel = \"" + shelfTopLevel +
                         "\";");
}

}  // namespace mayahost
