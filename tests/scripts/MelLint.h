#pragma once

// A small MEL reader for checking the plug-in's scripts without Maya: tokens (comments and
// strings skipped correctly), bracket balance, procedure headers, and the calls made inside
// procedure bodies. It reads MEL's syntax, it does not run it.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace mellint {

enum class TokenKind { Word, Variable, Integer, Float, String, Punct };

struct Token {
    TokenKind kind = TokenKind::Punct;
    std::string text;  // strings hold their decoded contents, variables keep the '$'
    int line = 0;
    bool spaceBefore = true;
};

struct Param {
    std::string type;  // "int", "string[]", ...
    std::string name;
};

struct Proc {
    std::string name;
    bool global = false;
    std::string returnType;  // empty when the proc returns nothing
    std::vector<Param> params;
    int line = 0;
    std::size_t bodyBegin = 0;  // first token after the opening brace
    std::size_t bodyEnd = 0;    // the closing brace
};

enum class CallStyle { Command, Function, Callback };

struct Call {
    std::string name;
    CallStyle style = CallStyle::Command;
    std::vector<std::vector<Token>> args;  // empty for callbacks, whose text is built at run time
    int line = 0;
    std::string inProc;
    std::size_t tokenIndex = 0;
};

struct Script {
    std::string file;
    std::vector<Token> tokens;
    std::vector<Proc> procs;
    std::vector<Call> calls;
    std::vector<std::string> problems;  // syntax problems, "file:line: what"
};

std::vector<Token> tokenize(const std::string& file, const std::string& text,
                            std::vector<std::string>& problems);

Script readScript(const std::string& file, const std::string& text);

// A command text as the plug-in sends it, e.g. `displayMessage "text"2`: the procedure name
// and the kind of each argument ("int", "float" or "string").
struct CommandText {
    std::string name;
    std::vector<std::string> argKinds;
};
CommandText parseCommandText(const std::string& text);

// Checks over scripts read together; each returns one line per fault, empty when clean.
std::vector<std::string> syntaxProblems(const std::vector<Script>& scripts);
std::vector<std::string> duplicateProcs(const std::vector<Script>& scripts);
std::vector<std::string> unresolvedCalls(const std::vector<Script>& scripts,
                                         const std::set<std::string>& builtins);
std::vector<std::string> arityMismatches(const std::vector<Script>& scripts);
std::vector<std::string> entryPointMismatches(const std::vector<Script>& scripts,
                                              const std::vector<std::string>& commandTexts);

const Proc* findProc(const std::vector<Script>& scripts, const std::string& name,
                     const Script** owner = nullptr);

// The elements of the first array literal `{...}` in a proc's body; a unary minus is folded
// into the number that follows it.
std::vector<Token> arrayLiteralIn(const Script& script, const Proc& proc);

}  // namespace mellint
