#include "MelText.h"

#include <cctype>
#include <regex>

namespace mayahost {

namespace {

// One glob element at `p` against character `c`; `next` is set past the element.
bool elementMatches(const std::string& pattern, std::size_t p, char c, std::size_t& next) {
    if (pattern[p] == '\\' && p + 1 < pattern.size()) {
        next = p + 2;
        return pattern[p + 1] == c;
    }
    if (pattern[p] == '?') {
        next = p + 1;
        return true;
    }
    if (pattern[p] != '[') {
        next = p + 1;
        return pattern[p] == c;
    }
    std::size_t i = p + 1;
    bool negated = false;
    if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
        negated = true;
        ++i;
    }
    bool found = false;
    bool first = true;
    while (i < pattern.size() && (first || pattern[i] != ']')) {
        first = false;
        char low = pattern[i];
        if (low == '\\' && i + 1 < pattern.size()) {
            low = pattern[++i];
        }
        char high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = pattern[i + 2];
            i += 2;
        }
        if (c >= low && c <= high) {
            found = true;
        }
        ++i;
    }
    if (i >= pattern.size()) {
        // No closing bracket: the '[' is an ordinary character.
        next = p + 1;
        return c == '[';
    }
    next = i + 1;
    return found != negated;
}

}  // namespace

bool MelText::glob(const std::string& text, const std::string& pattern) {
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        std::size_t next = 0;
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starText = t;
        } else if (p < pattern.size() && elementMatches(pattern, p, text[t], next)) {
            p = next;
            ++t;
        } else if (starPattern != std::string::npos) {
            p = starPattern;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool MelText::match(const std::string& pattern, const std::string& text, std::string& out,
                    std::string& error) {
    try {
        const std::regex expression(pattern, std::regex::extended);
        std::smatch found;
        out = std::regex_search(text, found, expression) ? found.str(0) : std::string();
        return true;
    } catch (const std::regex_error&) {
        error = "Invalid regular expression: \"" + pattern + "\".";
        return false;
    }
}

bool MelText::substitute(const std::string& pattern, const std::string& text,
                         const std::string& replacement, std::string& out, std::string& error) {
    try {
        const std::regex expression(pattern, std::regex::extended);
        std::smatch found;
        if (!std::regex_search(text, found, expression)) {
            out = text;
            return true;
        }
        out = found.prefix().str() + replacement + found.suffix().str();
        return true;
    } catch (const std::regex_error&) {
        error = "Invalid regular expression: \"" + pattern + "\".";
        return false;
    }
}

std::vector<std::string> MelText::tokenize(const std::string& text, const std::string& separators) {
    std::vector<std::string> tokens;
    std::string current;
    for (const char c : text) {
        if (separators.find(c) != std::string::npos) {
            if (!current.empty()) {
                tokens.push_back(current);
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        tokens.push_back(current);
    }
    return tokens;
}

std::string MelText::format(const std::string& pattern, const std::vector<std::string>& args) {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == '^') {
            std::size_t j = i + 1;
            std::size_t index = 0;
            while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])) &&
                   index < 1000) {
                index = index * 10 + static_cast<std::size_t>(pattern[j] - '0');
                ++j;
            }
            if (j > i + 1 && j < pattern.size() && pattern[j] == 's') {
                if (index >= 1 && index <= args.size()) {
                    out += args[index - 1];
                }
                i = j + 1;
                continue;
            }
        }
        out += pattern[i];
        ++i;
    }
    return out;
}

std::string MelText::quote(const std::string& text) {
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

}  // namespace mayahost
