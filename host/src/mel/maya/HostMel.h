#pragma once

#include <mayahost/HostControl.h>

#include <deque>
#include <string>
#include <vector>

#include "CommandResult.h"
#include "HostMelOutput.h"
#include "MelInterpreter.h"
#include "MelUi.h"
#include "PlugFlags.h"
#include "PluginCommands.h"
#include "ScriptJobs.h"
#include "StandInPlugins.h"

namespace mayahost {

// The host's one MEL engine: the interpreter with Maya's scene, application, time, job and
// UI commands, the plug-in commands, the UI and its main window, script jobs, and the output
// tests take. MGlobal's MEL calls, the idle queue and the UI all run through it.
//
// Threads: main thread only, as MEL is in Maya; the interpreter refuses other threads. The
// idle queue it runs is fed from any thread, but lives outside (HostState::idle).
class HostMel {
public:
    HostMel();
    ~HostMel();
    HostMel(const HostMel&) = delete;
    HostMel& operator=(const HostMel&) = delete;

    MelInterpreter& interpreter() { return interpreter_; }
    MelUi& ui() { return ui_; }
    HostMelOutput& output() { return output_; }
    CommandResult& results() { return results_; }
    PluginCommands& pluginCommands() { return pluginCommands_; }
    ScriptJobs& jobs() { return jobs_; }
    StandInPlugins& standIns() { return standIns_; }

    // MGlobal::executeCommand: `display` echoes the text first.
    MelResult execute(const std::string& text, bool display);
    // MGlobal::sourceFile: a bare name is searched on the script path.
    MelResult sourceFile(const std::string& fileName);
    // Runs idle commands in order, then the script jobs of the events fired meanwhile.
    // Returns how many commands and jobs ran.
    int runIdle(const std::deque<std::string>& commands);
    // A scene event, by its scriptJob name: its jobs run at the next idle (none in batch).
    void sceneEvent(const std::string& event);

    // Batch mode: no main window, no UI commands, no script jobs, `about -batch` true.
    void setBatch(bool batch);
    bool batch() const { return ui_.options().batch; }

    void setScriptPath(const std::vector<std::string>& folders);
    // Where `loadPlugin` looks for a module given by name (MAYA_PLUG_IN_PATH).
    void setPluginPath(const std::vector<std::string>& folders) { pluginPath_ = folders; }
    // The module file a `loadPlugin` argument names; empty when there is none.
    std::string findPluginModule(const std::string& name) const;

private:
    HostMelOutput output_;
    MelInterpreter interpreter_;
    MelUi ui_;
    CommandResult results_;
    PluginCommands pluginCommands_;
    ScriptJobs jobs_;
    PlugFlags plugFlags_;
    StandInPlugins standIns_;
    std::vector<std::string> pluginPath_;
};

}  // namespace mayahost
