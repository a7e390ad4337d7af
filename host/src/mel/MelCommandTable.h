#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MelCommand.h"

namespace mayahost {

// The C++ commands MEL can call, by name. Owned by one interpreter and used on the main
// thread only. A command being run stays alive even if it is removed meanwhile.
class MelCommandTable {
public:
    // False when the name is taken (Maya refuses to register a command twice).
    bool add(MelSyntax syntax, MelCommand::Handler handler);
    bool addRaw(const std::string& name, MelCommand::RawHandler handler);
    bool remove(const std::string& name);
    std::shared_ptr<const MelCommand> find(const std::string& name) const;
    bool contains(const std::string& name) const { return commands_.count(name) != 0; }
    std::vector<std::string> names() const;

private:
    std::map<std::string, std::shared_ptr<const MelCommand>> commands_;
};

}  // namespace mayahost
