#pragma once

#include <string>
#include <utility>
#include <vector>

#include "MelScriptLocator.h"

namespace mayahost {

// A script path of folders on disk, searched in order; the first folder holding the file wins.
// Main thread only.
class MelScriptFolders : public MelScriptLocator {
public:
    void setFolders(std::vector<std::string> folders) { folders_ = std::move(folders); }
    const std::vector<std::string>& folders() const { return folders_; }

    std::string resolve(const std::string& fileName) const override;
    bool read(const std::string& path, std::string& text) const override;

private:
    std::vector<std::string> folders_;
};

}  // namespace mayahost
