#include "ScriptJobs.h"

#include <algorithm>
#include <utility>

#include "MelInterpreter.h"

namespace mayahost {

const std::vector<std::string>& ScriptJobs::events() {
    static const std::vector<std::string> kEvents = {
        "timeUnitChanged",      "linearUnitChanged", "angularUnitChanged", "timeChanged",
        "playbackRangeChanged", "deleteAll",         "NewSceneOpened",     "quitApplication"};
    return kEvents;
}

bool ScriptJobs::knownEvent(const std::string& name) {
    const std::vector<std::string>& known = events();
    return std::find(known.begin(), known.end(), name) != known.end();
}

int ScriptJobs::add(Job job) {
    jobs_[++next_] = std::move(job);
    return next_;
}

bool ScriptJobs::kill(int number, bool force, std::string& error) {
    const auto found = jobs_.find(number);
    // Maya's wording for these is not documented; the host's own.
    if (found == jobs_.end()) {
        error = "Job number " + std::to_string(number) + " does not exist.";
        return false;
    }
    if (found->second.permanent || (found->second.protectedJob && !force)) {
        error = "Job number " + std::to_string(number) + " is " +
                (found->second.permanent ? "permanent" : "protected") + " and was not killed.";
        return false;
    }
    jobs_.erase(found);
    return true;
}

void ScriptJobs::killAll(bool force) {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        const Job& job = it->second;
        if (job.permanent || (job.protectedJob && !force)) {
            ++it;
        } else {
            it = jobs_.erase(it);
        }
    }
}

void ScriptJobs::killParented(const std::string& parent, bool force) {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        const Job& job = it->second;
        if (job.parent == parent && !job.permanent && (!job.protectedJob || force)) {
            it = jobs_.erase(it);
        } else {
            ++it;
        }
    }
}

std::vector<std::string> ScriptJobs::list() const {
    std::vector<std::string> lines;
    for (const auto& [number, job] : jobs_) {
        lines.push_back(std::to_string(number) + ": \"" + job.event + "\" \"" + job.script + "\"");
    }
    return lines;
}

void ScriptJobs::fired(const std::string& event) {
    if (event == "deleteAll") {
        for (auto it = jobs_.begin(); it != jobs_.end();) {
            it =
                it->second.killWithScene && !it->second.permanent ? jobs_.erase(it) : std::next(it);
        }
    }
    if (std::find(pending_.begin(), pending_.end(), event) == pending_.end()) {
        pending_.push_back(event);
    }
}

void ScriptJobs::uiRemoved(const std::string& path) {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        it = it->second.parent == path ? jobs_.erase(it) : std::next(it);
    }
}

int ScriptJobs::runPending(MelInterpreter& interpreter) {
    int ran = 0;
    const std::vector<std::string> events = std::exchange(pending_, {});
    for (const std::string& event : events) {
        std::vector<int> numbers;
        for (const auto& [number, job] : jobs_) {
            if (job.event == event) {
                numbers.push_back(number);
            }
        }
        for (const int number : numbers) {
            // A job run earlier may have killed this one.
            const auto found = jobs_.find(number);
            if (found == jobs_.end()) {
                continue;
            }
            const std::string script = found->second.script;
            if (found->second.runOnce) {
                jobs_.erase(found);
            }
            interpreter.runCallback(script);
            ++ran;
        }
    }
    return ran;
}

void ScriptJobs::clear() {
    jobs_.clear();
    pending_.clear();
    next_ = 0;
}

}  // namespace mayahost
