#include "JournalTestFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

JournalTestFolder::JournalTestFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tulvex-journal-XXXXXX").string();
    mPath = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

JournalTestFolder::~JournalTestFolder() {
    std::error_code ignored;
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(mPath, ignored);
}

std::vector<std::byte> JournalTestFolder::readFile(const std::string& path) {
    const std::string text = readText(path);
    const auto* bytes = reinterpret_cast<const std::byte*>(text.data());
    return std::vector<std::byte>(bytes, bytes + text.size());
}

void JournalTestFolder::writeFile(const std::string& path, const std::vector<std::byte>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string JournalTestFolder::readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void JournalTestFolder::writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}
