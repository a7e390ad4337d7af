#pragma once

#include <string>
#include <vector>

#include "MelArgType.h"
#include "MelInvocation.h"
#include "MelSyntax.h"
#include "MelWord.h"

namespace mayahost {

// Checks the words of a command call against the command's syntax, as Maya's argument parser
// does before a command runs: flags known (long or short name), each with the number and
// kind of arguments it takes, used in a mode it allows and only once unless multi-use; -q and
// -e only where some flag supports them; the positional arguments in number and kind.
//
// A bare -name is always a flag. A quoted string that names one of the command's flags is a
// flag too (function syntax passes flags that way: `cmd("-e", 1)`); any other string is an
// argument.
class MelArgumentParser {
public:
    // False, with Maya's message (or the host's where Maya's is not documented) in `error`.
    static bool parse(const MelSyntax& syntax, const std::vector<MelWord>& words,
                      MelInvocation& out, std::string& error);

    // The words as text for a command registered without a syntax: arrays give one word per
    // element, numbers their MEL text, flags their "-name".
    static std::vector<std::string> rawWords(const std::vector<MelWord>& words);

    // One value read as `type`; false when it cannot be. `flagName` names the flag in the
    // message ("-width"), or is empty for a positional argument.
    static bool convert(const MelValue& value, MelArgType type, const std::string& flagName,
                        MelValue& out, std::string& error);
};

}  // namespace mayahost
