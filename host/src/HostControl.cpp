#include <mayahost/HostControl.h>

#include <mutex>

#include "HostState.h"

namespace mayahost {

std::vector<std::string> pendingIdleCommands() {
    IdleQueue& queue = hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    return {queue.commands.begin(), queue.commands.end()};
}

std::vector<std::string> takeIdleCommands() {
    IdleQueue& queue = hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    std::vector<std::string> taken(queue.commands.begin(), queue.commands.end());
    queue.commands.clear();
    return taken;
}

std::vector<std::string> takeDisplayedErrors() {
    ErrorLog& log = hostState().errors;
    std::lock_guard<std::mutex> lock(log.mutex);
    std::vector<std::string> taken;
    taken.swap(log.shown);
    return taken;
}

void setLocalizedString(const std::string& pluginId, const std::string& key,
                        const std::string& text) {
    StringTable& table = hostState().strings;
    std::lock_guard<std::mutex> lock(table.mutex);
    if (text.empty()) {
        table.localized.erase({pluginId, key});
    } else {
        table.localized[{pluginId, key}] = text;
    }
}

}  // namespace mayahost
