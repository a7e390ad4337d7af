#pragma once

#include <string>
#include <vector>

namespace mayahost {

// The string work of MEL's text commands, free of any interpreter state.
class MelText {
public:
    // gmatch: the whole of `text` against a glob with *, ?, [abc], [a-z], [!x]; a backslash
    // makes the next character literal.
    static bool glob(const std::string& text, const std::string& pattern);

    // match: the first part of `text` the regular expression matches, "" when none does.
    // False, with `error` set, for a pattern that is not a valid expression.
    static bool match(const std::string& pattern, const std::string& text, std::string& out,
                      std::string& error);

    // substitute: `text` with the first match replaced by `replacement` taken literally.
    static bool substitute(const std::string& pattern, const std::string& text,
                           const std::string& replacement, std::string& out, std::string& error);

    // tokenize: the pieces between any of the `separators`; empty pieces are dropped (the
    // host's choice: Maya does not say).
    static std::vector<std::string> tokenize(const std::string& text,
                                             const std::string& separators);

    // format: ^1s, ^2s, ... replaced by the arguments in order. An index with no argument
    // gives "", and a '^' not followed by digits and 's' stays as it is (the host's choice).
    static std::string format(const std::string& pattern, const std::vector<std::string>& args);
    // A MEL string literal of `text`: quotes, backslashes and line breaks escaped.
    static std::string quote(const std::string& text);
};

}  // namespace mayahost
