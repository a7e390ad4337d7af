#include "EvaluationCommands.h"

#include <mayahost/HostControl.h>

#include <string>

#include "MelInterpreter.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned C = MelFlag::kCreate;
constexpr unsigned Q = MelFlag::kQuery;

const char* modeName(EvaluationMode mode) {
    switch (mode) {
        case EvaluationMode::Off:
            return "off";
        case EvaluationMode::Serial:
            return "serial";
        case EvaluationMode::Parallel:
            return "parallel";
    }
    return "off";
}

MelResult evaluationManagerCommand(const MelInvocation& call, MelContext&) {
    if (call.isQuery()) {
        if (!call.has("mode")) {
            return MelResult::failure("evaluationManager: query -mode.");
        }
        return MelResult::success(MelValue::ofStrings({modeName(evaluationMode())}));
    }
    if (!call.has("mode")) {
        return MelResult::success();
    }
    const std::string mode = call.stringValue("mode");
    if (mode == "off") {
        setEvaluationMode(EvaluationMode::Off);
    } else if (mode == "serial") {
        setEvaluationMode(EvaluationMode::Serial);
    } else if (mode == "parallel") {
        setEvaluationMode(EvaluationMode::Parallel);
    } else {
        return MelResult::failure("evaluationManager: -mode is off, serial or parallel, not '" +
                                  mode + "'.");
    }
    return MelResult::success();
}

// `evaluator -name "cache" -enable`: Cached Playback's switch. The host has no other
// custom evaluator.
MelResult evaluatorCommand(const MelInvocation& call, MelContext&) {
    const std::string name = call.has("name") ? call.stringValue("name") : std::string();
    if (name != "cache") {
        return MelResult::failure("evaluator: this host has only the \"cache\" evaluator.");
    }
    if (call.isQuery()) {
        return MelResult::success(MelValue::ofInt(cachedPlaybackStatus().enabled ? 1 : 0));
    }
    if (call.has("enable")) {
        setCachedPlayback(call.intValue("enable") != 0);
    }
    return MelResult::success();
}

}  // namespace

bool EvaluationCommands::install(MelInterpreter& interpreter) {
    bool all = interpreter.registerCommand(
        MelSyntax("evaluationManager").addFlag("mode", "m", {Arg::String}, C | Q),
        evaluationManagerCommand);
    all = interpreter.registerCommand(MelSyntax("evaluator")
                                          .addFlag("name", "n", {Arg::String}, C | Q)
                                          .addFlag("enable", "en", {Arg::Bool}, C | Q),
                                      evaluatorCommand) &&
          all;
    return all;
}

}  // namespace mayahost
