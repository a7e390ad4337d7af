#pragma once

#include <string>

namespace mayahost {

// The types a MEL value or variable can have. None is what a procedure or command without a
// return value yields; no variable has it. The order matches MelValue's storage.
enum class MelType {
    None,
    Int,
    Float,
    String,
    Vector,
    IntArray,
    FloatArray,
    StringArray,
    VectorArray
};

}  // namespace mayahost
