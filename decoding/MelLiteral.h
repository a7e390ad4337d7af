#pragma once

#include <string>

// A text as a MEL string literal, for command texts the plug-in builds: quotes and
// backslashes escaped, and line breaks written as escapes, since a literal may not run onto
// the next line. The same rules as the node's UI commands.
class MelLiteral {
public:
    static std::string quoted(const std::string& text);

    MelLiteral() = delete;
};
