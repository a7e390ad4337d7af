#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A fresh folder under the system's temporary one, removed with everything in it.
class JournalTestFolder {
public:
    JournalTestFolder();
    ~JournalTestFolder();
    JournalTestFolder(const JournalTestFolder&) = delete;
    JournalTestFolder& operator=(const JournalTestFolder&) = delete;

    const std::string& path() const { return mPath; }
    static std::vector<std::byte> readFile(const std::string& path);
    static void writeFile(const std::string& path, const std::vector<std::byte>& bytes);
    static std::string readText(const std::string& path);
    static void writeText(const std::string& path, const std::string& text);

private:
    std::string mPath;
};
