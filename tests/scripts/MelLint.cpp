#include "MelLint.h"

#include <cctype>
#include <map>
#include <utility>

namespace mellint {

namespace {

const std::set<std::string> kTypes = {"int", "float", "string", "vector", "matrix"};
const std::set<std::string> kKeywords = {
    "if",     "else",   "for",  "while", "do",   "switch", "case", "default", "break", "continue",
    "return", "global", "proc", "in",    "true", "false",  "on",   "off",     "yes",   "no"};
const std::set<std::string> kControl = {"if", "while", "for", "switch"};
// Flags whose string argument is MEL run later by a control.
const std::set<std::string> kCallbackFlags = {"command",   "c",   "changeCommand", "cc",
                                              "onCommand", "onc", "offCommand",    "ofc"};

bool isIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string where(const std::string& file, int line) {
    return file + ":" + std::to_string(line) + ": ";
}

bool isPunct(const Token& token, const char* text) {
    return token.kind == TokenKind::Punct && token.text == text;
}

bool isWord(const Token& token, const char* text) {
    return token.kind == TokenKind::Word && token.text == text;
}

// Index of the token closing each opening bracket or backquote, and the reverse; npos for
// anything else. Balance faults go to problems.
std::vector<std::size_t> matchBrackets(const std::string& file, const std::vector<Token>& tokens,
                                       std::vector<std::string>& problems) {
    std::vector<std::size_t> match(tokens.size(), std::string::npos);
    std::vector<std::size_t> open;
    const std::map<std::string, std::string> closes = {{")", "("}, {"]", "["}, {"}", "{"}};
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind != TokenKind::Punct) {
            continue;
        }
        const std::string& text = token.text;
        if (text == "`" && !open.empty() && tokens[open.back()].text == "`") {
            match[open.back()] = i;
            match[i] = open.back();
            open.pop_back();
        } else if (text == "(" || text == "[" || text == "{" || text == "`") {
            open.push_back(i);
        } else if (closes.count(text) != 0) {
            if (open.empty()) {
                problems.push_back(where(file, token.line) + "'" + text + "' closes nothing");
            } else if (tokens[open.back()].text != closes.at(text)) {
                problems.push_back(where(file, token.line) + "'" + text + "' closes '" +
                                   tokens[open.back()].text + "' opened at line " +
                                   std::to_string(tokens[open.back()].line));
                open.pop_back();
            } else {
                match[open.back()] = i;
                match[i] = open.back();
                open.pop_back();
            }
        }
    }
    for (const std::size_t index : open) {
        problems.push_back(where(file, tokens[index].line) + "'" + tokens[index].text +
                           "' is never closed");
    }
    return match;
}

class ScriptReader {
public:
    explicit ScriptReader(Script& script) : mScript(script), mTokens(script.tokens) {}

    void read() {
        const std::size_t problemsBefore = mScript.problems.size();
        mMatch = matchBrackets(mScript.file, mTokens, mScript.problems);
        if (mScript.problems.size() != problemsBefore) {
            return;  // structure cannot be trusted past a balance fault
        }
        std::size_t i = 0;
        while (i < mTokens.size()) {
            if (isWord(mTokens[i], "proc") ||
                (isWord(mTokens[i], "global") && i + 1 < mTokens.size() &&
                 isWord(mTokens[i + 1], "proc"))) {
                i = readProc(i);
            } else if (isWord(mTokens[i], "global") && i + 1 < mTokens.size() &&
                       kTypes.count(mTokens[i + 1].text) != 0) {
                i = statementEnd(i) + 1;
            } else {
                problem(mTokens[i].line, "statement outside a procedure: '" + mTokens[i].text +
                                             "' (sourcing the file would run it)");
                i = statementEnd(i) + 1;
            }
        }
        for (const Proc& proc : mScript.procs) {
            scanCalls(proc);
        }
    }

private:
    void problem(int line, const std::string& text) {
        mScript.problems.push_back(where(mScript.file, line) + text);
    }

    const Token& at(std::size_t i) const {
        static const Token end{TokenKind::Punct, "<end>", 0, true};
        return i < mTokens.size() ? mTokens[i] : end;
    }

    // The ';' ending the statement that starts at i, skipping bracketed groups.
    std::size_t statementEnd(std::size_t i) const {
        while (i < mTokens.size() && !isPunct(mTokens[i], ";")) {
            if (mMatch[i] != std::string::npos && mMatch[i] > i) {
                i = mMatch[i];
            }
            ++i;
        }
        return i;
    }

    std::size_t readProc(std::size_t i) {
        Proc proc;
        proc.line = mTokens[i].line;
        if (isWord(mTokens[i], "global")) {
            proc.global = true;
            ++i;
        }
        ++i;  // "proc"
        if (kTypes.count(at(i).text) != 0 && !isPunct(at(i + 1), "(")) {
            proc.returnType = at(i).text;
            ++i;
            if (isPunct(at(i), "[") && isPunct(at(i + 1), "]")) {
                proc.returnType += "[]";
                i += 2;
            }
        }
        if (at(i).kind != TokenKind::Word || kKeywords.count(at(i).text) != 0) {
            problem(proc.line, "procedure without a name");
            return statementEnd(i) + 1;
        }
        proc.name = at(i).text;
        ++i;
        if (!isPunct(at(i), "(")) {
            problem(proc.line, "procedure " + proc.name + " has no parameter list");
            return statementEnd(i) + 1;
        }
        const std::size_t close = mMatch[i];
        ++i;
        while (i < close) {
            Param param;
            if (kTypes.count(at(i).text) == 0 || at(i).kind != TokenKind::Word) {
                problem(at(i).line, "parameter " + std::to_string(proc.params.size() + 1) + " of " +
                                        proc.name + " has no type");
                return close + 1;
            }
            param.type = at(i).text;
            if (at(i + 1).kind != TokenKind::Variable) {
                problem(at(i).line, "parameter " + std::to_string(proc.params.size() + 1) + " of " +
                                        proc.name + " has no name");
                return close + 1;
            }
            param.name = at(i + 1).text;
            i += 2;
            if (isPunct(at(i), "[") && isPunct(at(i + 1), "]")) {
                param.type += "[]";
                i += 2;
            }
            proc.params.push_back(param);
            if (isPunct(at(i), ",")) {
                ++i;
            } else if (i != close) {
                problem(at(i).line,
                        "unexpected '" + at(i).text + "' in the parameters of " + proc.name);
                return close + 1;
            }
        }
        i = close + 1;
        if (!isPunct(at(i), "{")) {
            problem(proc.line, "procedure " + proc.name + " has no body");
            return statementEnd(i) + 1;
        }
        proc.bodyBegin = i + 1;
        proc.bodyEnd = mMatch[i];
        mScript.procs.push_back(proc);
        return proc.bodyEnd + 1;
    }

    // First and last token of each argument of a command-syntax call, from `from` to the
    // end of its statement.
    std::vector<std::pair<std::size_t, std::size_t>> commandArgRanges(std::size_t from,
                                                                      std::size_t limit) const {
        std::vector<std::pair<std::size_t, std::size_t>> args;
        std::size_t i = from;
        while (i < limit) {
            const Token& token = mTokens[i];
            if (isPunct(token, ";") || isPunct(token, ")") || isPunct(token, "}") ||
                isPunct(token, "]") || (isPunct(token, "`") && mMatch[i] < i)) {
                break;
            }
            std::size_t last = i;
            if (mMatch[i] != std::string::npos && mMatch[i] > i) {
                last = mMatch[i];
            } else if (isPunct(token, "-") && at(i + 1).kind != TokenKind::Punct &&
                       at(i + 1).kind != TokenKind::String && !at(i + 1).spaceBefore) {
                last = i + 1;  // a flag or a negative number
            }
            // An index belongs to the variable before it.
            while (isPunct(at(last + 1), "[") && mMatch[last + 1] != std::string::npos) {
                last = mMatch[last + 1];
            }
            args.emplace_back(i, last);
            i = last + 1;
        }
        return args;
    }

    std::vector<std::vector<Token>> functionArgs(std::size_t open) const {
        std::vector<std::vector<Token>> args;
        const std::size_t close = mMatch[open];
        if (close == open + 1) {
            return args;
        }
        args.emplace_back();
        for (std::size_t i = open + 1; i < close; ++i) {
            if (isPunct(mTokens[i], ",")) {
                args.emplace_back();
                continue;
            }
            const std::size_t last =
                mMatch[i] != std::string::npos && mMatch[i] > i ? mMatch[i] : i;
            args.back().insert(args.back().end(), mTokens.begin() + static_cast<std::ptrdiff_t>(i),
                               mTokens.begin() + static_cast<std::ptrdiff_t>(last + 1));
            i = last;
        }
        return args;
    }

    void addCall(const Proc& proc, std::size_t i, CallStyle style,
                 std::vector<std::vector<Token>> args) {
        Call call;
        call.name = mTokens[i].text;
        call.style = style;
        call.args = std::move(args);
        call.line = mTokens[i].line;
        call.inProc = proc.name;
        call.tokenIndex = i;
        mScript.calls.push_back(std::move(call));
    }

    void addCallback(const Proc& proc, std::size_t flag) {
        std::size_t i = flag + 1;
        if (isPunct(at(i), "(")) {
            ++i;
        }
        if (at(i).kind != TokenKind::String) {
            return;
        }
        std::vector<std::string> ignored;
        const std::vector<Token> inner = tokenize(mScript.file, at(i).text, ignored);
        if (inner.empty() || inner.front().kind != TokenKind::Word) {
            return;
        }
        Call call;
        call.name = inner.front().text;
        call.style = CallStyle::Callback;
        call.line = at(i).line;
        call.inProc = proc.name;
        call.tokenIndex = i;
        mScript.calls.push_back(std::move(call));
    }

    void scanCalls(const Proc& proc) {
        std::vector<bool> controlParens;
        std::set<std::size_t> bareWords;
        bool atStart = true;
        for (std::size_t i = proc.bodyBegin; i < proc.bodyEnd; ++i) {
            const Token& token = mTokens[i];
            const bool startHere = atStart;
            atStart = false;
            if (token.kind == TokenKind::Punct) {
                if (token.text == ";" || token.text == "{" || token.text == "}") {
                    atStart = true;
                } else if (token.text == "(") {
                    controlParens.push_back(i > 0 && mTokens[i - 1].kind == TokenKind::Word &&
                                            kControl.count(mTokens[i - 1].text) != 0);
                } else if (token.text == ")" && !controlParens.empty()) {
                    atStart = controlParens.back();
                    controlParens.pop_back();
                } else if (token.text == "`") {
                    atStart = mMatch[i] > i;
                }
                continue;
            }
            if (token.kind != TokenKind::Word) {
                continue;
            }
            if (token.text == "else" || token.text == "do") {
                atStart = true;
                continue;
            }
            if (kKeywords.count(token.text) != 0 || kTypes.count(token.text) != 0) {
                continue;
            }
            const bool isFlag = i > 0 && isPunct(mTokens[i - 1], "-") && !token.spaceBefore;
            if (isFlag) {
                if (kCallbackFlags.count(token.text) != 0) {
                    addCallback(proc, i);
                }
                continue;
            }
            // Bare words among a command's arguments, and the parts of a dotted name, are
            // not calls even when a parenthesised argument follows them.
            const bool dotted = i > 0 && isPunct(mTokens[i - 1], ".") && !token.spaceBefore;
            if (bareWords.count(i) != 0 || dotted) {
                continue;
            }
            const bool parenNext = isPunct(at(i + 1), "(");
            if (startHere) {
                // `name(...)` closing its statement is function syntax, anything after the
                // parenthesis makes it command syntax with a grouped first argument.
                if (parenNext &&
                    (isPunct(at(mMatch[i + 1] + 1), ";") || isPunct(at(mMatch[i + 1] + 1), "}"))) {
                    addCall(proc, i, CallStyle::Function, functionArgs(i + 1));
                } else {
                    std::vector<std::vector<Token>> args;
                    for (const auto& [first, last] : commandArgRanges(i + 1, proc.bodyEnd)) {
                        if (first == last && mTokens[first].kind == TokenKind::Word) {
                            bareWords.insert(first);
                        }
                        args.emplace_back(mTokens.begin() + static_cast<std::ptrdiff_t>(first),
                                          mTokens.begin() + static_cast<std::ptrdiff_t>(last + 1));
                    }
                    addCall(proc, i, CallStyle::Command, std::move(args));
                }
            } else if (parenNext) {
                addCall(proc, i, CallStyle::Function, functionArgs(i + 1));
            }
        }
    }

    Script& mScript;
    const std::vector<Token>& mTokens;
    std::vector<std::size_t> mMatch;
};

std::string argumentKind(const std::vector<Token>& arg) {
    if (arg.size() == 1 && arg[0].kind == TokenKind::String) {
        return "string";
    }
    const Token& number = arg.back();
    const bool signedOk = arg.size() == 1 || (arg.size() == 2 && isPunct(arg[0], "-"));
    if (signedOk && number.kind == TokenKind::Integer) {
        return "int";
    }
    if (signedOk && number.kind == TokenKind::Float) {
        return "float";
    }
    return "word";
}

}  // namespace

std::vector<Token> tokenize(const std::string& file, const std::string& text,
                            std::vector<std::string>& problems) {
    std::vector<Token> tokens;
    const std::size_t n = text.size();
    std::size_t i = 0;
    int line = 1;
    bool space = true;
    auto push = [&](TokenKind kind, std::string value, int tokenLine) {
        tokens.push_back(Token{kind, std::move(value), tokenLine, space});
        space = false;
    };
    while (i < n) {
        const char c = text[i];
        const char next = i + 1 < n ? text[i + 1] : '\0';
        if (c == '\n') {
            ++line;
            ++i;
            space = true;
        } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            ++i;
            space = true;
        } else if (c == '/' && next == '/') {
            while (i < n && text[i] != '\n') {
                ++i;
            }
            space = true;
        } else if (c == '/' && next == '*') {
            const int startLine = line;
            const std::size_t end = text.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? n : end + 2;
            for (std::size_t k = i; k < stop; ++k) {
                line += text[k] == '\n' ? 1 : 0;
            }
            if (end == std::string::npos) {
                problems.push_back(where(file, startLine) + "comment is never closed");
            }
            i = stop;
            space = true;
        } else if (c == '"') {
            const int startLine = line;
            std::string value;
            std::size_t k = i + 1;
            bool closed = false;
            while (k < n && text[k] != '\n') {
                if (text[k] == '"') {
                    closed = true;
                    break;
                }
                if (text[k] == '\\' && k + 1 < n && text[k + 1] != '\n') {
                    const char escaped = text[k + 1];
                    value += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                    k += 2;
                    continue;
                }
                value += text[k];
                ++k;
            }
            if (!closed) {
                problems.push_back(where(file, startLine) + "string is never closed");
            }
            push(TokenKind::String, value, startLine);
            i = closed ? k + 1 : k;
        } else if (c == '$' && isIdentStart(next)) {
            std::size_t k = i + 1;
            while (k < n && isIdentChar(text[k])) {
                ++k;
            }
            push(TokenKind::Variable, text.substr(i, k - i), line);
            i = k;
        } else if (isIdentStart(c)) {
            std::size_t k = i;
            while (k < n && isIdentChar(text[k])) {
                ++k;
            }
            push(TokenKind::Word, text.substr(i, k - i), line);
            i = k;
        } else if (isDigit(c) || (c == '.' && isDigit(next))) {
            std::size_t k = i;
            bool isFloat = false;
            while (k < n && isDigit(text[k])) {
                ++k;
            }
            if (k < n && text[k] == '.' && !(k + 1 < n && text[k + 1] == '.')) {
                isFloat = true;
                ++k;
                while (k < n && isDigit(text[k])) {
                    ++k;
                }
            }
            if (k < n && (text[k] == 'e' || text[k] == 'E')) {
                std::size_t e = k + 1;
                if (e < n && (text[e] == '+' || text[e] == '-')) {
                    ++e;
                }
                if (e < n && isDigit(text[e])) {
                    isFloat = true;
                    k = e;
                    while (k < n && isDigit(text[k])) {
                        ++k;
                    }
                }
            }
            push(isFloat ? TokenKind::Float : TokenKind::Integer, text.substr(i, k - i), line);
            i = k;
        } else {
            static const std::set<std::string> pairs = {"==", "!=", "<=", ">=", "&&", "||",
                                                        "++", "--", "+=", "-=", "*=", "/="};
            const std::string two = text.substr(i, 2);
            const std::size_t length = pairs.count(two) != 0 ? 2 : 1;
            push(TokenKind::Punct, text.substr(i, length), line);
            i += length;
        }
    }
    return tokens;
}

Script readScript(const std::string& file, const std::string& text) {
    Script script;
    script.file = file;
    script.tokens = tokenize(file, text, script.problems);
    if (script.problems.empty()) {
        ScriptReader(script).read();
    }
    return script;
}

CommandText parseCommandText(const std::string& text) {
    std::vector<std::string> problems;
    const std::vector<Token> tokens = tokenize("<command>", text, problems);
    CommandText command;
    if (!problems.empty() || tokens.empty() || tokens.front().kind != TokenKind::Word) {
        return command;
    }
    command.name = tokens.front().text;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        std::vector<Token> arg = {tokens[i]};
        if (isPunct(tokens[i], "-") && i + 1 < tokens.size() && !tokens[i + 1].spaceBefore) {
            arg.push_back(tokens[++i]);
        }
        command.argKinds.push_back(argumentKind(arg));
    }
    return command;
}

std::vector<std::string> syntaxProblems(const std::vector<Script>& scripts) {
    std::vector<std::string> out;
    for (const Script& script : scripts) {
        out.insert(out.end(), script.problems.begin(), script.problems.end());
    }
    return out;
}

std::vector<std::string> duplicateProcs(const std::vector<Script>& scripts) {
    std::map<std::string, std::vector<std::string>> seen;
    for (const Script& script : scripts) {
        for (const Proc& proc : script.procs) {
            if (proc.global) {
                seen[proc.name].push_back(script.file + ":" + std::to_string(proc.line));
            }
        }
    }
    std::vector<std::string> out;
    for (const auto& [name, places] : seen) {
        if (places.size() > 1) {
            std::string line =
                "global proc " + name + " is defined " + std::to_string(places.size()) + " times:";
            for (const std::string& place : places) {
                line += " " + place;
            }
            out.push_back(line);
        }
    }
    return out;
}

std::vector<std::string> unresolvedCalls(const std::vector<Script>& scripts,
                                         const std::set<std::string>& builtins) {
    std::set<std::string> globals;
    for (const Script& script : scripts) {
        for (const Proc& proc : script.procs) {
            if (proc.global) {
                globals.insert(proc.name);
            }
        }
    }
    std::vector<std::string> out;
    for (const Script& script : scripts) {
        std::set<std::string> locals;
        for (const Proc& proc : script.procs) {
            if (!proc.global) {
                locals.insert(proc.name);
            }
        }
        for (const Call& call : script.calls) {
            if (globals.count(call.name) == 0 && locals.count(call.name) == 0 &&
                builtins.count(call.name) == 0) {
                out.push_back(where(script.file, call.line) + call.inProc + " calls " + call.name +
                              ", which is neither a script proc nor a known " + "command");
            }
        }
    }
    return out;
}

std::vector<std::string> arityMismatches(const std::vector<Script>& scripts) {
    std::vector<std::string> out;
    for (const Script& script : scripts) {
        for (const Call& call : script.calls) {
            const Proc* proc = findProc(scripts, call.name);
            if (proc == nullptr || call.style == CallStyle::Callback) {
                continue;
            }
            if (call.args.size() != proc->params.size()) {
                out.push_back(where(script.file, call.line) + call.inProc + " passes " +
                              std::to_string(call.args.size()) + " argument(s) to " + call.name +
                              ", which takes " + std::to_string(proc->params.size()));
            }
        }
    }
    return out;
}

std::vector<std::string> entryPointMismatches(const std::vector<Script>& scripts,
                                              const std::vector<std::string>& commandTexts) {
    std::vector<std::string> out;
    for (const std::string& text : commandTexts) {
        const CommandText command = parseCommandText(text);
        if (command.name.empty()) {
            out.push_back("cannot read the command text '" + text + "'");
            continue;
        }
        int definitions = 0;
        const Proc* found = nullptr;
        for (const Script& script : scripts) {
            for (const Proc& proc : script.procs) {
                if (proc.name == command.name) {
                    ++definitions;
                    found = &proc;
                }
            }
        }
        if (definitions != 1) {
            out.push_back(command.name + " is defined " + std::to_string(definitions) +
                          " times, the plug-in needs exactly one global proc");
            continue;
        }
        if (!found->global) {
            out.push_back(command.name + " is not a global proc");
        }
        std::vector<std::string> types;
        for (const Param& param : found->params) {
            types.push_back(param.type);
        }
        if (types != command.argKinds) {
            std::string line = command.name + " takes ( ";
            for (const std::string& type : types) {
                line += type + " ";
            }
            line += ") but the plug-in sends ( ";
            for (const std::string& kind : command.argKinds) {
                line += kind + " ";
            }
            line += "): '";
            line += text;
            line += "'";
            out.push_back(line);
        }
    }
    return out;
}

const Proc* findProc(const std::vector<Script>& scripts, const std::string& name,
                     const Script** owner) {
    for (const Script& script : scripts) {
        for (const Proc& proc : script.procs) {
            if (proc.name == name) {
                if (owner != nullptr) {
                    *owner = &script;
                }
                return &proc;
            }
        }
    }
    return nullptr;
}

std::vector<Token> arrayLiteralIn(const Script& script, const Proc& proc) {
    std::vector<Token> elements;
    std::size_t i = proc.bodyBegin;
    while (i < proc.bodyEnd &&
           !(isPunct(script.tokens[i], "{") && i > 0 && isPunct(script.tokens[i - 1], "="))) {
        ++i;
    }
    for (++i; i < proc.bodyEnd && !isPunct(script.tokens[i], "}"); ++i) {
        const Token& token = script.tokens[i];
        if (isPunct(token, ",")) {
            continue;
        }
        if (isPunct(token, "-") && i + 1 < proc.bodyEnd) {
            Token negative = script.tokens[++i];
            negative.text = "-" + negative.text;
            elements.push_back(negative);
            continue;
        }
        elements.push_back(token);
    }
    return elements;
}

}  // namespace mellint
