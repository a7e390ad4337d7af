#pragma once

#include <string>
#include <vector>

namespace mayahost {

// One command of a MEL text: a name and its words, numbers and quoted strings.
struct MelStatement {
    std::string name;
    std::vector<std::string> args;
    std::string text;
};

// Reads the command texts the plug-in builds: statements separated by ';', each a name
// followed by words, numbers and double-quoted strings. A quoted string may be followed by
// a number with no blank in between (`proc "text"0` has two arguments).
class MelReader {
public:
    // False, with a reason, on an unterminated string or a statement not starting with a name.
    static bool read(const std::string& text, std::vector<MelStatement>& statements,
                     std::string& error);
};

}  // namespace mayahost
