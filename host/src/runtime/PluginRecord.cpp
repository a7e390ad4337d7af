#include "PluginRecord.h"

#include <utility>

namespace mayahost {

PluginRecord::PluginRecord(std::string pluginName, std::string folder)
    : name(std::move(pluginName)), loadPath(std::move(folder)) {}

}  // namespace mayahost
