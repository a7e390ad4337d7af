#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace mayahost {

// The host's undo queue, in the order things were done: deletions made by the user (MEL
// `delete`, the host control) and plug-in commands that said they are undoable. What is
// not on it cannot be undone, as in Maya. An open chunk gathers everything done meanwhile
// into one step.
//
// Threads: the main thread only (commands, MEL and the host controls run there).
class UndoQueue {
public:
    struct Step {
        std::string name;
        std::function<bool()> undo;
        std::function<bool()> redo;
        const void* owner = nullptr;  // what the step calls into; forget() drops its steps
        std::vector<Step> parts;      // a chunk's steps, oldest first
    };

    // A new step clears what could be redone.
    void push(Step step);
    // False when there is nothing to undo (or redo), or the step failed.
    bool undo();
    bool redo();
    void openChunk(const std::string& name);
    // False when no chunk is open.
    bool closeChunk();
    int openChunks() const { return static_cast<int>(chunks_.size()); }
    // Drops every step that calls into `owner` (a command being deregistered).
    void forget(const void* owner);
    void clear();
    std::string undoName() const;
    std::string redoName() const;
    std::size_t size() const { return done_.size(); }

private:
    static bool run(Step& step, bool undoing);

    std::vector<Step> done_;    // oldest first
    std::vector<Step> undone_;  // the most recently undone last
    std::vector<Step> chunks_;  // open chunks, innermost last
};

}  // namespace mayahost
