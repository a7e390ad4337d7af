#include "JobCommands.h"

#include <mutex>
#include <string>
#include <vector>

#include "HostMel.h"
#include "HostState.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned C = MelFlag::kCreate;

MelResult scriptJob(const MelInvocation& call, MelContext&, HostMel& mel) {
    ScriptJobs& jobs = mel.jobs();
    if (call.has("listEvents")) {
        return MelResult::success(MelValue::ofStrings(ScriptJobs::events()));
    }
    if (call.has("listJobs")) {
        return MelResult::success(MelValue::ofStrings(jobs.list()));
    }
    if (call.has("exists")) {
        return MelResult::success(MelValue::ofInt(jobs.exists(call.intValue("exists")) ? 1 : 0));
    }
    const bool force = call.has("force");
    if (call.has("kill")) {
        for (std::size_t use = 0; use < call.uses("kill"); ++use) {
            std::string error;
            if (!jobs.kill(call.values("kill", use).at(0).asInt(), force, error)) {
                return MelResult::failure(error);
            }
        }
        return MelResult::success();
    }
    if (call.has("killAll")) {
        jobs.killAll(force);
        return MelResult::success();
    }
    // Jobs do not exist in batch mode: the command does nothing there.
    if (mel.batch()) {
        return MelResult::success(MelValue::ofInt(0));
    }
    ScriptJobs::Job job;
    if (call.has("event")) {
        job.event = call.stringValue("event", std::string(), 0);
        job.script = call.stringValue("event", std::string(), 1);
        if (!ScriptJobs::knownEvent(job.event)) {
            // The wording is the host's; so is the list of events it fires.
            return MelResult::failure("scriptJob: '" + job.event +
                                      "' is not an event this host fires.");
        }
    } else if (call.has("timeChange")) {
        job.event = "timeChanged";
        job.script = call.stringValue("timeChange");
    } else {
        return MelResult::failure("scriptJob: give -event or -timeChange, or a query flag.");
    }
    if (call.has("parent")) {
        job.parent = call.stringValue("parent");
        const UiElement* parent = mel.ui().tree().find(job.parent);
        if (parent == nullptr) {
            return MelResult::failure("Object '" + job.parent + "' not found.");
        }
        job.parent = parent->path();
    }
    if (call.has("replacePrevious")) {
        if (job.parent.empty()) {
            return MelResult::failure("scriptJob: -replacePrevious needs -parent.");
        }
        jobs.killParented(job.parent, force);
    }
    job.killWithScene = call.has("killWithScene");
    job.runOnce = call.boolValue("runOnce", false);
    job.permanent = call.has("permanent");
    job.protectedJob = call.has("protected");
    return MelResult::success(MelValue::ofInt(jobs.add(job)));
}

MelResult evalDeferred(const MelInvocation& call, MelContext&) {
    IdleQueue& queue = hostState().idle;
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (call.has("list")) {
        return MelResult::success(
            MelValue::ofStrings({queue.commands.begin(), queue.commands.end()}));
    }
    if (call.positionals().empty()) {
        return MelResult::failure("evalDeferred: give the script to run.");
    }
    const std::string script = call.positionals()[0].asString();
    // The host has one idle queue: low priorities wait behind what is there, as normal ones do.
    if (call.has("evaluateNext")) {
        queue.commands.push_front(script);
    } else {
        queue.commands.push_back(script);
    }
    return MelResult::success(MelValue::ofStrings({}));
}

}  // namespace

bool JobCommands::install(MelInterpreter& interpreter, HostMel& mel) {
    HostMel* host = &mel;
    bool all = interpreter.registerCommand(MelSyntax("scriptJob")
                                               .addFlag("event", "e", {Arg::String, Arg::Script})
                                               .addFlag("timeChange", "tc", {Arg::Script})
                                               .addFlag("parent", "p", {Arg::String})
                                               .addFlag("replacePrevious", "rp")
                                               .addFlag("killWithScene", "kws")
                                               .addFlag("runOnce", "ro", {Arg::Bool})
                                               .addFlag("permanent", "per")
                                               .addFlag("protected", "pro")
                                               .addFlag("force", "f")
                                               .addFlag("kill", "k", {Arg::Int}, C, true)
                                               .addFlag("killAll", "ka")
                                               .addFlag("exists", "ex", {Arg::Int})
                                               .addFlag("listEvents", "le")
                                               .addFlag("listJobs", "lj")
                                               .addFlag("compressUndo", "cu", {Arg::Bool}),
                                           [host](const MelInvocation& call, MelContext& context) {
                                               return scriptJob(call, context, *host);
                                           });
    all = interpreter.registerCommand(MelSyntax("evalDeferred")
                                          .addFlag("evaluateNext", "en")
                                          .addFlag("list", "ls")
                                          .addFlag("lowPriority", "low")
                                          .addFlag("lowestPriority", "lp")
                                          .setPositionals(0, 1, Arg::Script),
                                      evalDeferred) &&
          all;
    return all;
}

}  // namespace mayahost
