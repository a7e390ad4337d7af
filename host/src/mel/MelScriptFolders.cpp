#include "MelScriptFolders.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace mayahost {

namespace {

bool isFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string MelScriptFolders::resolve(const std::string& fileName) const {
    if (fileName.empty()) {
        return std::string();
    }
    if (fileName.front() == '/') {
        return isFile(fileName) ? fileName : std::string();
    }
    for (const std::string& folder : folders_) {
        std::string candidate = folder;
        if (!candidate.empty() && candidate.back() != '/') {
            candidate += '/';
        }
        candidate += fileName;
        if (isFile(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

bool MelScriptFolders::read(const std::string& path, std::string& text) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return true;
}

}  // namespace mayahost
