#pragma once

#include <string>

#include "MelValue.h"

namespace mayahost {

// MEL's operators on values, without variables: arithmetic with int/float/vector promotion,
// string concatenation, comparisons and truth. Each returns false, with a message in `error`,
// for operand types the operator does not take.
class MelOperators {
public:
    // `op` is one of + - * / % ^ < <= > >= == !=.
    static bool binary(const std::string& op, const MelValue& a, const MelValue& b, MelValue& out,
                       std::string& error);
    static bool negate(const MelValue& a, MelValue& out, std::string& error);
    // What `if`, `while`, `!`, `&&` and `||` see.
    static bool truth(const MelValue& a, bool& out, std::string& error);
};

}  // namespace mayahost
