#include "SeedCorpus.h"

#include <cstdio>
#include <fstream>
#include <system_error>

bool SeedCorpus::openFolder(int argc, char** argv, std::filesystem::path& folder, int& exitCode) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        exitCode = 2;
        return false;
    }
    folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[1], error.message().c_str());
        exitCode = 1;
        return false;
    }
    return true;
}

bool SeedCorpus::write(const std::filesystem::path& folder, const std::string& name,
                       const std::vector<std::byte>& bytes) {
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
