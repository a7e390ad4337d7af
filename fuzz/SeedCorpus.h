#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// What the seed programs share: the corpus folder named on their command line, and its files.
class SeedCorpus {
public:
    // The folder named by the only argument, made if missing; false, with the reason printed,
    // when there is no such argument (`exitCode` 2) or it cannot be made (`exitCode` 1).
    static bool openFolder(int argc, char** argv, std::filesystem::path& folder, int& exitCode);
    // One seed file; false when it cannot be written.
    static bool write(const std::filesystem::path& folder, const std::string& name,
                      const std::vector<std::byte>& bytes);

    SeedCorpus() = delete;
};
