#pragma once

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

// The documents a text points to ("docs/<name>.md"), so a test can check that each exists.
inline std::vector<std::string> documentsNamedIn(const std::string& text) {
    std::vector<std::string> names;
    const std::regex document(R"(docs/[A-Za-z0-9_-]+\.md)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), document);
         it != std::sregex_iterator(); ++it) {
        names.push_back(it->str());
    }
    return names;
}

inline bool documentExists(const std::string& name) {
    return std::filesystem::is_regular_file(std::filesystem::path(TULVEX_SOURCE_DIR) / name);
}
