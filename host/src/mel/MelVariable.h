#pragma once

#include "MelType.h"
#include "MelValue.h"

namespace mayahost {

// A MEL variable: its declared type and its value (always of that type). Shared between the
// scopes that see it: a global declared in several procedures, or an array passed by reference.
struct MelVariable {
    MelType type = MelType::None;
    MelValue value;
};

}  // namespace mayahost
