#pragma once

#include <string>
#include <vector>

namespace mayahost {

// What a MEL text calls and defines, read from its parse tree without running it: every
// call of a command or procedure (both syntaxes, inside back quotes too) and every procedure
// it defines. Lets a test check that each call of a script resolves.
class MelCallSites {
public:
    struct Call {
        std::string name;
        int line = 0;
        int column = 0;
    };
    struct Definition {
        std::string name;
        bool isGlobal = true;
        int line = 0;
    };

    // False, with the parser's message and position in `error`, when the text is not MEL.
    bool scan(const std::string& text, std::string& error);

    const std::vector<Call>& calls() const { return calls_; }
    const std::vector<Definition>& definitions() const { return definitions_; }
    // Whether the text defines a procedure of that name (global or local).
    bool defines(const std::string& name) const;

private:
    std::vector<Call> calls_;
    std::vector<Definition> definitions_;
};

}  // namespace mayahost
