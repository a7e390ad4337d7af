#pragma once

#include <string>

namespace mayahost {

// How the interpreter finds and reads script files for `source` and for auto-sourcing, the
// way Maya searches MAYA_SCRIPT_PATH.
class MelScriptLocator {
public:
    virtual ~MelScriptLocator() = default;
    // The full path of `fileName` (already carrying its suffix), or "" when there is none.
    // An absolute name is taken as it is if the file exists.
    virtual std::string resolve(const std::string& fileName) const = 0;
    // The contents of a resolved file; false when it cannot be read.
    virtual bool read(const std::string& path, std::string& text) const = 0;
};

}  // namespace mayahost
