#include "UndoQueue.h"

#include <algorithm>
#include <utility>

namespace mayahost {

void UndoQueue::push(Step step) {
    undone_.clear();
    if (!chunks_.empty()) {
        chunks_.back().parts.push_back(std::move(step));
        return;
    }
    done_.push_back(std::move(step));
}

bool UndoQueue::run(Step& step, bool undoing) {
    if (step.parts.empty()) {
        return undoing ? step.undo() : step.redo();
    }
    bool all = true;
    if (undoing) {
        for (auto part = step.parts.rbegin(); part != step.parts.rend(); ++part) {
            all = run(*part, true) && all;
        }
    } else {
        for (Step& part : step.parts) {
            all = run(part, false) && all;
        }
    }
    return all;
}

bool UndoQueue::undo() {
    if (done_.empty()) {
        return false;
    }
    Step step = std::move(done_.back());
    done_.pop_back();
    const bool undone = run(step, true);
    undone_.push_back(std::move(step));
    return undone;
}

bool UndoQueue::redo() {
    if (undone_.empty()) {
        return false;
    }
    Step step = std::move(undone_.back());
    undone_.pop_back();
    const bool redone = run(step, false);
    done_.push_back(std::move(step));
    return redone;
}

void UndoQueue::openChunk(const std::string& name) {
    Step chunk;
    chunk.name = name;
    chunks_.push_back(std::move(chunk));
}

bool UndoQueue::closeChunk() {
    if (chunks_.empty()) {
        return false;
    }
    Step chunk = std::move(chunks_.back());
    chunks_.pop_back();
    if (!chunk.parts.empty()) {
        push(std::move(chunk));
    }
    return true;
}

namespace {

// Drops the steps of `owner`, inside chunks too, and chunks left empty.
void dropSteps(std::vector<UndoQueue::Step>& steps, const void* owner) {
    for (UndoQueue::Step& step : steps) {
        dropSteps(step.parts, owner);
    }
    steps.erase(std::remove_if(steps.begin(), steps.end(),
                               [owner](const UndoQueue::Step& step) {
                                   return step.owner == owner || (step.owner == nullptr &&
                                                                  step.parts.empty() && !step.undo);
                               }),
                steps.end());
}

}  // namespace

void UndoQueue::forget(const void* owner) {
    dropSteps(done_, owner);
    dropSteps(undone_, owner);
    for (Step& chunk : chunks_) {
        dropSteps(chunk.parts, owner);
    }
}

void UndoQueue::clear() {
    done_.clear();
    undone_.clear();
    for (Step& chunk : chunks_) {
        chunk.parts.clear();
    }
}

std::string UndoQueue::undoName() const {
    return done_.empty() ? std::string() : done_.back().name;
}

std::string UndoQueue::redoName() const {
    return undone_.empty() ? std::string() : undone_.back().name;
}

}  // namespace mayahost
