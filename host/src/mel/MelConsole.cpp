#include "MelConsole.h"

#include <cstdio>
#include <utility>

namespace mayahost {

void MelConsole::print(const std::string& text) {
    if (echo_) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
    entries_.push_back({Entry::Kind::Print, text, text});
}

void MelConsole::warning(const std::string& message, const std::string& line) {
    if (echo_) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    entries_.push_back({Entry::Kind::Warning, message, line});
}

void MelConsole::error(const std::string& message, const std::string& line) {
    if (echo_) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    entries_.push_back({Entry::Kind::Error, message, line});
}

std::vector<MelConsole::Entry> MelConsole::take() {
    std::vector<Entry> taken;
    taken.swap(entries_);
    return taken;
}

std::string MelConsole::printed() const {
    std::string text;
    for (const Entry& entry : entries_) {
        if (entry.kind == Entry::Kind::Print) {
            text += entry.message;
        }
    }
    return text;
}

std::vector<std::string> MelConsole::lines() const {
    std::vector<std::string> result;
    for (const Entry& entry : entries_) {
        if (entry.kind != Entry::Kind::Print) {
            result.push_back(entry.line);
        }
    }
    return result;
}

}  // namespace mayahost
