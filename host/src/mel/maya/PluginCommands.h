#pragma once

#include <maya/MPlugin.h>
#include <maya/MPxCommand.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MelResult.h"

namespace mayahost {

class CommandResult;
class MelInterpreter;
class PluginRecord;

// The commands plug-ins register. Each is a raw MEL command: its words become an MArgList,
// a fresh instance from the creator runs doIt, its result is what it set with
// MPxCommand::setResult, and a failing doIt fails the MEL statement. An instance whose
// command is undoable is kept, as Maya keeps it for undo, and put on the host's undo queue,
// until the command is deregistered.
// Main thread only.
class PluginCommands {
public:
    PluginCommands(MelInterpreter& interpreter, CommandResult& results)
        : interpreter_(interpreter), results_(results) {}
    ~PluginCommands();
    PluginCommands(const PluginCommands&) = delete;
    PluginCommands& operator=(const PluginCommands&) = delete;

    // False when the name is any command already (Maya's own included).
    bool add(const std::string& name, MCreatorFunction creator, const PluginRecord* plugin);
    // False for a name no plug-in registered.
    bool remove(const std::string& name);
    // The names a plug-in registered, in registration order.
    std::vector<std::string> namesOf(const PluginRecord* plugin) const;

    // Counts MGlobal::displayError calls, so a doIt that explained its failure is not
    // reported a second time.
    void noteDisplayedError() { ++displayedErrors_; }

private:
    struct Entry {
        MCreatorFunction creator = nullptr;
        const PluginRecord* plugin = nullptr;
        unsigned long order = 0;
        std::vector<std::unique_ptr<MPxCommand>> kept;  // undoable instances
    };

    MelResult run(const std::string& name, const std::vector<std::string>& words);
    static void forgetKept(Entry& entry);

    MelInterpreter& interpreter_;
    CommandResult& results_;
    std::map<std::string, Entry> entries_;
    unsigned long registered_ = 0;
    unsigned long displayedErrors_ = 0;
};

}  // namespace mayahost
