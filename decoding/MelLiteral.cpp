#include "MelLiteral.h"

std::string MelLiteral::quoted(const std::string& text) {
    std::string literal = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                literal += "\\\"";
                break;
            case '\\':
                literal += "\\\\";
                break;
            case '\n':
                literal += "\\n";
                break;
            case '\r':
                literal += "\\r";
                break;
            default:
                literal += c;
        }
    }
    return literal + "\"";
}
