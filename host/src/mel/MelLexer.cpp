#include "MelLexer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace mayahost {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isIdentifierStart(char c) {
    return isAlpha(c) || c == '_';
}

bool isIdentifierChar(char c) {
    return isIdentifierStart(c) || isDigit(c);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Characters of a bare word in command syntax: names, DAG paths (|a|b), namespaces (ns:a),
// plugs (a.b, a.b[0]) and wildcard patterns (*Panel?).
bool isWordStart(char c) {
    return isIdentifierStart(c) || c == '|' || c == ':' || c == '.' || c == '*' || c == '?';
}

bool isWordChar(char c) {
    return isWordStart(c) || isDigit(c) || c == '[' || c == ']' || c == '#';
}

const char* const kLongPuncts[] = {
    "<<", ">>", "++", "--", "+=", "-=", "*=", "/=", "%=", "^=", "==", "!=", "<=", ">=", "&&", "||"};

}  // namespace

MelLexer::MelLexer(const std::string& text) : text_(text) {
    lineStarts_.push_back(0);
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == '\n') {
            lineStarts_.push_back(i + 1);
        }
    }
}

void MelLexer::position(std::size_t offset, int& line, int& column) const {
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    const std::size_t index = static_cast<std::size_t>(after - lineStarts_.begin()) - 1;
    line = static_cast<int>(index) + 1;
    column = static_cast<int>(offset - lineStarts_[index]) + 1;
}

MelToken MelLexer::make(MelToken::Kind kind, std::size_t begin, std::size_t end) const {
    MelToken token;
    token.kind = kind;
    token.begin = begin;
    token.end = end;
    position(begin, token.line, token.column);
    return token;
}

std::size_t MelLexer::skipBlanks(std::size_t offset, std::string& error) const {
    std::size_t i = offset;
    while (i < text_.size()) {
        const char c = text_[i];
        if (isSpace(c)) {
            ++i;
        } else if (c == '\\' && i + 1 < text_.size() &&
                   (text_[i + 1] == '\n' || text_[i + 1] == '\r')) {
            i += 2;  // a line continuation joins the lines
        } else if (c == '/' && i + 1 < text_.size() && text_[i + 1] == '/') {
            while (i < text_.size() && text_[i] != '\n') {
                ++i;
            }
        } else if (c == '/' && i + 1 < text_.size() && text_[i + 1] == '*') {
            const std::size_t close = text_.find("*/", i + 2);
            if (close == std::string::npos) {
                // Maya hangs on this; the host reports it instead.
                error = "unterminated comment";
                return i;
            }
            i = close + 2;
        } else {
            break;
        }
    }
    return i;
}

MelToken MelLexer::next(std::size_t offset, Mode mode) const {
    std::string error;
    const std::size_t from = skipBlanks(offset, error);
    MelToken token;
    if (!error.empty()) {
        token = make(MelToken::Kind::Error, from, text_.size());
        token.text = error;
        token.spaceBefore = from > offset;
        return token;
    }
    if (from >= text_.size()) {
        token = make(MelToken::Kind::End, text_.size(), text_.size());
    } else {
        const char c = text_[from];
        const char after = from + 1 < text_.size() ? text_[from + 1] : '\0';
        if (c == '"') {
            string(token, from);
        } else if (c == '$') {
            std::size_t end = from + 1;
            if (end < text_.size() && isIdentifierStart(text_[end])) {
                while (end < text_.size() && isIdentifierChar(text_[end])) {
                    ++end;
                }
                token = make(MelToken::Kind::Variable, from, end);
                token.text = text_.substr(from, end - from);
            } else {
                token = make(MelToken::Kind::Error, from, from + 1);
                token.text = "'$' without a variable name";
            }
        } else if (isDigit(c) || (c == '.' && isDigit(after)) ||
                   (mode == Mode::Command && c == '-' &&
                    (isDigit(after) ||
                     (after == '.' && from + 2 < text_.size() && isDigit(text_[from + 2]))))) {
            // In command syntax a '-' before a number is its sign (`move 5 -2 3`).
            number(token, from, mode);
        } else if (mode == Mode::Command && c == '-' && isIdentifierStart(after)) {
            std::size_t end = from + 1;
            while (end < text_.size() && isIdentifierChar(text_[end])) {
                ++end;
            }
            token = make(MelToken::Kind::Flag, from, end);
            token.text = text_.substr(from, end - from);
        } else if (mode == Mode::Command && isWordStart(c)) {
            const std::size_t end = wordEnd(from);
            token = make(MelToken::Kind::Word, from, end);
            token.text = text_.substr(from, end - from);
        } else if (mode == Mode::Expression && isIdentifierStart(c)) {
            std::size_t end = from;
            while (end < text_.size() && isIdentifierChar(text_[end])) {
                ++end;
            }
            token = make(MelToken::Kind::Name, from, end);
            token.text = text_.substr(from, end - from);
        } else {
            punct(token, from);
        }
    }
    token.spaceBefore = from > offset;
    return token;
}

std::size_t MelLexer::wordEnd(std::size_t from) const {
    std::size_t end = from;
    while (end < text_.size() && isWordChar(text_[end])) {
        ++end;
    }
    return end;
}

void MelLexer::number(MelToken& token, std::size_t from, Mode mode) const {
    std::size_t i = from;
    if (text_[i] == '-') {
        ++i;
    }
    bool isFloat = false;
    if (text_[i] == '0' && i + 1 < text_.size() && (text_[i + 1] == 'x' || text_[i + 1] == 'X') &&
        i + 2 < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[i + 2])) != 0) {
        i += 2;
        while (i < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[i])) != 0) {
            ++i;
        }
    } else {
        while (i < text_.size() && isDigit(text_[i])) {
            ++i;
        }
        if (i < text_.size() && text_[i] == '.' && !(i + 1 < text_.size() && text_[i + 1] == '.')) {
            isFloat = true;
            ++i;
            while (i < text_.size() && isDigit(text_[i])) {
                ++i;
            }
        }
        if (i < text_.size() && (text_[i] == 'e' || text_[i] == 'E')) {
            std::size_t j = i + 1;
            if (j < text_.size() && (text_[j] == '+' || text_[j] == '-')) {
                ++j;
            }
            if (j < text_.size() && isDigit(text_[j])) {
                isFloat = true;
                i = j;
                while (i < text_.size() && isDigit(text_[i])) {
                    ++i;
                }
            }
        }
    }
    // In command syntax a number with letters glued on (6ntsc, 2sec, -2mm) is one word; the
    // command that receives it reads the unit.
    if (mode == Mode::Command && i < text_.size() && isIdentifierStart(text_[i])) {
        const std::size_t end = wordEnd(i);
        token = make(MelToken::Kind::Word, from, end);
        token.text = text_.substr(from, end - from);
        return;
    }
    const std::string literal = text_.substr(from, i - from);
    if (isFloat) {
        token = make(MelToken::Kind::Float, from, i);
        token.floatValue = std::strtod(literal.c_str(), nullptr);
    } else {
        token = make(MelToken::Kind::Int, from, i);
        // Decimal (a leading 0 is not octal) or hex. Literals wider than MEL's int wrap to
        // 32 bits when used.
        const bool negative = literal[0] == '-';
        const std::size_t digits = negative ? 1 : 0;
        const bool hex = literal.size() > digits + 1 && literal[digits] == '0' &&
                         (literal[digits + 1] == 'x' || literal[digits + 1] == 'X');
        const unsigned long long magnitude =
            std::strtoull(literal.c_str() + digits + (hex ? 2 : 0), nullptr, hex ? 16 : 10);
        token.intValue = static_cast<long long>(negative ? 0ULL - magnitude : magnitude);
    }
    token.text = literal;
}

void MelLexer::string(MelToken& token, std::size_t from) const {
    std::string value;
    std::size_t i = from + 1;
    while (i < text_.size()) {
        const char c = text_[i];
        if (c == '"') {
            token = make(MelToken::Kind::String, from, i + 1);
            token.text = value;
            return;
        }
        if (c == '\n') {
            break;  // a literal may not run onto the next line
        }
        if (c == '\\' && i + 1 < text_.size()) {
            const char escaped = text_[i + 1];
            i += 2;
            switch (escaped) {
                case 'n':
                    value += '\n';
                    break;
                case 't':
                    value += '\t';
                    break;
                case 'r':
                    value += '\r';
                    break;
                case '"':
                case '\\':
                    value += escaped;
                    break;
                case '\n':
                    break;  // continued on the next line
                case '\r':
                    if (i < text_.size() && text_[i] == '\n') {
                        ++i;
                    }
                    break;
                default:
                    // Unknown escapes keep their backslash, so "\d" style patterns survive.
                    value += '\\';
                    value += escaped;
                    break;
            }
            continue;
        }
        value += c;
        ++i;
    }
    token = make(MelToken::Kind::Error, from, i);
    token.text = "unterminated string";
}

void MelLexer::punct(MelToken& token, std::size_t from) const {
    for (const char* symbol : kLongPuncts) {
        if (text_.compare(from, 2, symbol) == 0) {
            token = make(MelToken::Kind::Punct, from, from + 2);
            token.text = symbol;
            return;
        }
    }
    static const std::string kSingle = "+-*/%^<>=!?:;,.()[]{}`";
    if (kSingle.find(text_[from]) != std::string::npos) {
        token = make(MelToken::Kind::Punct, from, from + 1);
        token.text = std::string(1, text_[from]);
        return;
    }
    token = make(MelToken::Kind::Error, from, from + 1);
    token.text = std::string("unexpected character '") + text_[from] + "'";
}

}  // namespace mayahost
