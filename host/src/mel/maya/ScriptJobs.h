#pragma once

#include <map>
#include <string>
#include <vector>

namespace mayahost {

class MelInterpreter;

// Maya's script jobs: a script run at idle time after an event, tied to a UI element or to
// the scene if asked. Events fired several times before the next idle run their jobs once,
// in the order they first fired. Main thread only.
class ScriptJobs {
public:
    struct Job {
        std::string event;   // the scriptJob event name; "timeChanged" for -timeChange
        std::string script;  // MEL run as independent code
        std::string parent;  // full path of the UI element it dies with, or empty
        bool killWithScene = false;
        bool runOnce = false;
        bool permanent = false;
        bool protectedJob = false;
    };

    // The events the host fires, by their scriptJob names.
    static const std::vector<std::string>& events();
    static bool knownEvent(const std::string& name);

    // Returns the new job's number (1, 2, ...).
    int add(Job job);
    // Permanent jobs cannot be killed, protected ones only with force. False, with the host's
    // message in `error`, when the job cannot be killed or does not exist.
    bool kill(int number, bool force, std::string& error);
    void killAll(bool force);
    // Kills the jobs a -replacePrevious job with this parent replaces.
    void killParented(const std::string& parent, bool force);
    bool exists(int number) const { return jobs_.count(number) != 0; }
    // "N: \"event\" \"script\"" per job, as -listJobs shows them.
    std::vector<std::string> list() const;

    // An event happened; its jobs run at the next idle. A new scene kills -killWithScene
    // jobs first.
    void fired(const std::string& event);
    // A UI element went away: the jobs tied to it die.
    void uiRemoved(const std::string& path);
    // Runs the jobs of the events fired since the last call; returns how many ran.
    int runPending(MelInterpreter& interpreter);

    void clear();

private:
    std::map<int, Job> jobs_;
    std::vector<std::string> pending_;  // events to run at the next idle, each once
    int next_ = 0;
};

}  // namespace mayahost
