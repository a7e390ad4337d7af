#include "MelReader.h"

#include <cctype>

namespace mayahost {

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string trimmed(const std::string& text, std::size_t from, std::size_t to) {
    while (from < to && isBlank(text[from])) {
        ++from;
    }
    while (to > from && isBlank(text[to - 1])) {
        --to;
    }
    return text.substr(from, to - from);
}

}  // namespace

bool MelReader::read(const std::string& text, std::vector<MelStatement>& statements,
                     std::string& error) {
    statements.clear();
    MelStatement current;
    bool haveName = false;
    std::size_t statementStart = 0;
    std::size_t i = 0;
    auto finish = [&](std::size_t end) {
        if (haveName) {
            current.text = trimmed(text, statementStart, end);
            statements.push_back(current);
        }
        current = MelStatement();
        haveName = false;
        statementStart = end + 1;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (isBlank(c)) {
            ++i;
        } else if (c == ';') {
            finish(i);
            ++i;
        } else if (c == '"') {
            if (!haveName) {
                error = "Syntax error: a command name is expected before a string.";
                return false;
            }
            std::string value;
            ++i;
            bool closed = false;
            while (i < text.size()) {
                char ch = text[i];
                if (ch == '\\' && i + 1 < text.size()) {
                    const char next = text[i + 1];
                    value += next == 'n' ? '\n' : next == 't' ? '\t' : next;
                    i += 2;
                    continue;
                }
                ++i;
                if (ch == '"') {
                    closed = true;
                    break;
                }
                value += ch;
            }
            if (!closed) {
                error = "Unterminated string.";
                return false;
            }
            current.args.push_back(value);
        } else {
            std::string word;
            while (i < text.size() && !isBlank(text[i]) && text[i] != ';' && text[i] != '"') {
                word += text[i];
                ++i;
            }
            if (haveName) {
                current.args.push_back(word);
            } else {
                current.name = word;
                haveName = true;
            }
        }
    }
    finish(text.size());
    return true;
}

}  // namespace mayahost
