#include "PluginCommands.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>

#include <algorithm>
#include <utility>

#include "CommandResult.h"
#include "HostState.h"
#include "MelInterpreter.h"
#include "Scene.h"
#include "UndoQueue.h"

namespace mayahost {

PluginCommands::~PluginCommands() {
    for (auto& [name, entry] : entries_) {
        forgetKept(entry);
    }
}

void PluginCommands::forgetKept(Entry& entry) {
    UndoQueue& queue = hostState().scene.undoQueue();
    for (const std::unique_ptr<MPxCommand>& command : entry.kept) {
        queue.forget(command.get());
    }
}

bool PluginCommands::add(const std::string& name, MCreatorFunction creator,
                         const PluginRecord* plugin) {
    if (entries_.count(name) != 0 ||
        !interpreter_.registerRawCommand(
            name, [this, name](const std::vector<std::string>& words, MelContext&) {
                return run(name, words);
            })) {
        return false;
    }
    Entry& entry = entries_[name];
    entry.creator = creator;
    entry.plugin = plugin;
    entry.order = ++registered_;
    return true;
}

bool PluginCommands::remove(const std::string& name) {
    const auto found = entries_.find(name);
    if (found == entries_.end()) {
        return false;
    }
    interpreter_.deregisterCommand(name);
    // Instances kept for undo go with their command, and their steps leave the undo queue.
    forgetKept(found->second);
    entries_.erase(found);
    return true;
}

std::vector<std::string> PluginCommands::namesOf(const PluginRecord* plugin) const {
    std::vector<std::pair<unsigned long, std::string>> ordered;
    for (const auto& [name, entry] : entries_) {
        if (entry.plugin == plugin) {
            ordered.emplace_back(entry.order, name);
        }
    }
    std::sort(ordered.begin(), ordered.end());
    std::vector<std::string> names;
    names.reserve(ordered.size());
    for (const auto& each : ordered) {
        names.push_back(each.second);
    }
    return names;
}

MelResult PluginCommands::run(const std::string& name, const std::vector<std::string>& words) {
    const auto found = entries_.find(name);
    if (found == entries_.end()) {
        return MelResult::failure("Cannot find procedure \"" + name + "\".");
    }
    std::unique_ptr<MPxCommand> command(static_cast<MPxCommand*>(found->second.creator()));
    if (command == nullptr) {
        return MelResult::failure(name + ": the plug-in's creator made no command.");
    }
    MArgList args;
    for (const std::string& word : words) {
        args.addArg(MString(word.c_str()));
    }
    const unsigned long errorsBefore = displayedErrors_;
    results_.open();
    const MStatus status = command->doIt(args);
    MelValue value = results_.close();
    if (!status) {
        if (displayedErrors_ != errorsBefore) {
            return MelResult::failureShown();
        }
        // A doIt that fails without a word: the host names the command and the status.
        return MelResult::failure(name + ": " + status.errorString().asChar());
    }
    // The command may have been deregistered while it ran.
    const auto still = entries_.find(name);
    if (command->isUndoable() && still != entries_.end()) {
        MPxCommand* kept = command.get();
        UndoQueue::Step step;
        step.name = name;
        step.undo = [kept] { return static_cast<bool>(kept->undoIt()); };
        step.redo = [kept] { return static_cast<bool>(kept->redoIt()); };
        step.owner = kept;
        hostState().scene.undoQueue().push(std::move(step));
        still->second.kept.push_back(std::move(command));
    }
    return MelResult::success(std::move(value));
}

}  // namespace mayahost
