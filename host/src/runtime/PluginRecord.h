#pragma once

#include <string>

#include "HostObject.h"

namespace mayahost {

// The object a plug-in's initializePlugin receives. Its texts are written and read on the
// main thread only (plug-in load and unload).
class PluginRecord final : public HostObject {
public:
    PluginRecord(std::string pluginName, std::string folder);
    MFn::Type apiType() const override { return MFn::kBase; }

    std::string name;
    std::string loadPath;
    std::string vendor = "Unknown";
    std::string version = "Unknown";
    std::string apiVersion = "Any";
    bool described = false;  // vendor and version come from the first MFnPlugin built
    // Set by the plug-in loader: whether its module is loaded now, and from where.
    bool loaded = false;
    std::string modulePath;
};

}  // namespace mayahost
