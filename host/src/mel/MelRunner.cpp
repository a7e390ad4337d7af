#include "MelRunner.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>

#include <cstdio>
#include <utility>

#include "ResultValue.h"

namespace mayahost {

struct MelRunner::Kept {
    std::string name;
    std::unique_ptr<MPxCommand> command;
};

MelRunner::MelRunner() = default;
MelRunner::~MelRunner() = default;

MStatus MelRunner::execute(const std::string& text, bool display) {
    if (display) {
        std::printf("%s\n", text.c_str());
    }
    std::vector<MelStatement> statements;
    std::string error;
    if (!MelReader::read(text, statements, error)) {
        scriptError(error);
        return MStatus::kFailure;
    }
    currentResult().clear();
    for (const MelStatement& statement : statements) {
        MStatus status = run(statement);
        if (!status) {
            return status;  // MEL stops a script at its first error
        }
    }
    return MStatus::kSuccess;
}

MStatus MelRunner::run(const MelStatement& statement) {
    if (statement.name == "error") {
        scriptError(statement.args.empty() ? std::string() : statement.args.front());
        return MStatus::kFailure;
    }
    MCreatorFunction creator = nullptr;
    Procedure procedure;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (auto found = commands_.find(statement.name); found != commands_.end()) {
            creator = found->second;
        } else if (auto proc = procedures_.find(statement.name); proc != procedures_.end()) {
            procedure = proc->second;
            calls_.push_back({statement.name, statement.args, statement.text});
        }
    }
    if (creator != nullptr) {
        std::unique_ptr<MPxCommand> command(static_cast<MPxCommand*>(creator()));
        if (command == nullptr) {
            return MStatus::kFailure;
        }
        MArgList args;
        for (const std::string& arg : statement.args) {
            args.addArg(MString(arg.c_str()));
        }
        MStatus status = command->doIt(args);
        if (status && command->isUndoable()) {
            std::lock_guard<std::mutex> lock(mutex_);
            undoQueue_.push_back(std::make_unique<Kept>(Kept{statement.name, std::move(command)}));
        }
        return status;
    }
    if (procedure) {
        return procedure(statement.args, statement.text);
    }
    scriptError("Cannot find procedure \"" + statement.name + "\".");
    return MStatus::kFailure;
}

bool MelRunner::registerCommand(const std::string& name, MCreatorFunction creator,
                                const PluginRecord* /*plugin*/) {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_.emplace(name, creator).second;
}

bool MelRunner::deregisterCommand(const std::string& name) {
    std::vector<std::unique_ptr<Kept>> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (commands_.erase(name) == 0) {
            return false;
        }
        // Instances kept for undo die with their command's registration.
        for (auto it = undoQueue_.begin(); it != undoQueue_.end();) {
            if ((*it)->name == name) {
                dropped.push_back(std::move(*it));
                it = undoQueue_.erase(it);
            } else {
                ++it;
            }
        }
    }
    return true;
}

void MelRunner::registerProcedure(const std::string& name, Procedure procedure) {
    std::lock_guard<std::mutex> lock(mutex_);
    procedures_[name] = std::move(procedure);
}

std::vector<ProcedureCall> MelRunner::calls(bool take) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ProcedureCall> copy = calls_;
    if (take) {
        calls_.clear();
    }
    return copy;
}

std::vector<std::string> MelRunner::takeErrors() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> taken;
    taken.swap(errors_);
    return taken;
}

void MelRunner::scriptError(const std::string& text) {
    std::fprintf(stderr, "// Error: %s\n", text.c_str());
    std::lock_guard<std::mutex> lock(mutex_);
    errors_.push_back(text);
}

void MelRunner::setScriptPath(const std::vector<std::string>& folders) {
    std::lock_guard<std::mutex> lock(mutex_);
    scriptPath_ = folders;
}

std::vector<std::string> MelRunner::scriptPath() {
    std::lock_guard<std::mutex> lock(mutex_);
    return scriptPath_;
}

void MelRunner::recordSourced(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    sourced_.push_back(path);
}

std::vector<std::string> MelRunner::sourced() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sourced_;
}

void MelRunner::reset() {
    std::vector<std::unique_ptr<Kept>> dropped;
    std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(undoQueue_);
    commands_.clear();
    procedures_.clear();
    calls_.clear();
    errors_.clear();
    scriptPath_.clear();
    sourced_.clear();
}

}  // namespace mayahost
