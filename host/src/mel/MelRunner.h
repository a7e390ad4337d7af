#pragma once

#include <maya/MPlugin.h>
#include <maya/MStatus.h>
#include <mayahost/HostControl.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MelReader.h"

namespace mayahost {

class PluginRecord;

// Runs MEL texts on the calling thread: plug-in commands, the built-in `error`, and the
// procedures the embedder registers. Anything else fails as Maya does.
class MelRunner {
public:
    MelRunner();
    ~MelRunner();
    MelRunner(const MelRunner&) = delete;
    MelRunner& operator=(const MelRunner&) = delete;

    MStatus execute(const std::string& text, bool display);

    bool registerCommand(const std::string& name, MCreatorFunction creator,
                         const PluginRecord* plugin);
    bool deregisterCommand(const std::string& name);
    void registerProcedure(const std::string& name, Procedure procedure);

    std::vector<ProcedureCall> calls(bool take);
    std::vector<std::string> takeErrors();
    void scriptError(const std::string& text);

    void setScriptPath(const std::vector<std::string>& folders);
    std::vector<std::string> scriptPath();
    void recordSourced(const std::string& path);
    std::vector<std::string> sourced();

    void reset();

private:
    MStatus run(const MelStatement& statement);

    struct Kept;        // an undoable command instance
    std::mutex mutex_;  // any host thread runs MEL; guards every member below
    std::map<std::string, MCreatorFunction> commands_;
    std::map<std::string, Procedure> procedures_;
    std::vector<ProcedureCall> calls_;
    std::vector<std::string> errors_;
    std::vector<std::string> scriptPath_;
    std::vector<std::string> sourced_;
    std::vector<std::unique_ptr<Kept>> undoQueue_;
};

}  // namespace mayahost
