#include "MelCommandTable.h"

#include <utility>

namespace mayahost {

bool MelCommandTable::add(MelSyntax syntax, MelCommand::Handler handler) {
    if (syntax.name().empty() || contains(syntax.name()) || !handler) {
        return false;
    }
    const std::string name = syntax.name();
    commands_[name] = std::make_shared<const MelCommand>(std::move(syntax), std::move(handler));
    return true;
}

bool MelCommandTable::addRaw(const std::string& name, MelCommand::RawHandler handler) {
    if (name.empty() || contains(name) || !handler) {
        return false;
    }
    commands_[name] = std::make_shared<const MelCommand>(name, std::move(handler));
    return true;
}

bool MelCommandTable::remove(const std::string& name) {
    return commands_.erase(name) != 0;
}

std::shared_ptr<const MelCommand> MelCommandTable::find(const std::string& name) const {
    const auto found = commands_.find(name);
    return found == commands_.end() ? nullptr : found->second;
}

std::vector<std::string> MelCommandTable::names() const {
    std::vector<std::string> result;
    for (const auto& entry : commands_) {
        result.push_back(entry.first);
    }
    return result;
}

}  // namespace mayahost
