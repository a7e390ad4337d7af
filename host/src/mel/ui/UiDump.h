#pragma once

#include <string>

#include "UiElement.h"

namespace mayahost {

// A window (or any element) and everything below it as indented text, one element a line:
// its command, name, what a user reads on it, and its state where it has one, e.g.
//   window tulvexPanel0 "Tulvex Device 0 (tulvexDevice0)" shown
//     checkBox tulvexPanel0_live "Live" on
//     button tulvexPanel0_bind "Bind to Character" disabled
class UiDump {
public:
    static std::string text(const UiElement& element);

    UiDump() = delete;

private:
    static void line(const UiElement& element, int depth, std::string& out);
};

}  // namespace mayahost
