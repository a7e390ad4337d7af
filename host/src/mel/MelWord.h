#pragma once

#include "MelValue.h"

namespace mayahost {

// One evaluated argument of a command call, with how it was written: a bare -name in command
// syntax is a flag for certain; a bare word such as `on` may stand for a number.
struct MelWord {
    MelValue value;
    bool flagToken = false;
    bool bareWord = false;
};

}  // namespace mayahost
