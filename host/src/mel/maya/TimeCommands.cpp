#include "TimeCommands.h"

#include <maya/MTime.h>
#include <mayahost/HostControl.h>

#include <cctype>
#include <string>
#include <vector>

#include "HostState.h"
#include "MelInterpreter.h"
#include "TimeUnits.h"
#include "Timeline.h"

namespace mayahost {

namespace {

using Arg = MelArgType;
constexpr unsigned C = MelFlag::kCreate;
constexpr unsigned Q = MelFlag::kQuery;
constexpr unsigned E = MelFlag::kEdit;

// `currentUnit -time` names the clock units as "hour", "min", "sec" and "millisec".
const std::pair<const char*, const char*> kClockNames[] = {
    {"hour", "hours"}, {"min", "minutes"}, {"sec", "seconds"}, {"millisec", "milliseconds"}};

MTime::Unit timeUnitNamed(const std::string& name) {
    for (const auto& [mel, host] : kClockNames) {
        if (name == mel) {
            return TimeUnits::fromName(host);
        }
    }
    return TimeUnits::fromName(name);
}

std::string melTimeUnitName(MTime::Unit unit) {
    std::string name = TimeUnits::name(unit);
    for (const auto& [mel, host] : kClockNames) {
        if (name == host) {
            return mel;
        }
    }
    return name;
}

// A time argument in UI units: a number as it is, or a number with a unit suffix.
bool uiTime(const MelValue& value, double& time, std::string& error) {
    if (value.isNumber()) {
        time = value.asFloat();
        return true;
    }
    const std::string text = value.asString();
    std::size_t unitAt = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    while (unitAt < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[unitAt])) != 0 || text[unitAt] == '.')) {
        ++unitAt;
    }
    const MTime::Unit unit = timeUnitNamed(text.substr(unitAt));
    if (unit == MTime::kInvalid) {
        error = "Invalid time: " + text;
        return false;
    }
    time = TimeUnits::convert(std::stod(text.substr(0, unitAt)), unit, MTime::uiUnit());
    return true;
}

MelResult text(const std::string& value) {
    return MelResult::success(MelValue::ofString(value));
}

MelResult number(double value) {
    return MelResult::success(MelValue::ofFloat(value));
}

MelResult currentUnitCommand(const MelInvocation& call, MelContext&) {
    const bool full = call.has("fullName");
    if (call.isQuery()) {
        if (call.has("linear")) {
            return text(currentUnit(UnitKind::Linear, full));
        }
        if (call.has("angle")) {
            return text(currentUnit(UnitKind::Angle, full));
        }
        if (call.has("time")) {
            return text(melTimeUnitName(MTime::uiUnit()));
        }
        return MelResult::failure("currentUnit: query -linear, -angle or -time.");
    }
    std::string set;
    for (const MelInvocation::FlagUse& use : call.flags()) {
        const std::string name = use.values.empty() ? std::string() : use.values[0].asString();
        bool ok = true;
        if (use.name == "linear") {
            ok = setCurrentUnit(UnitKind::Linear, name);
        } else if (use.name == "angle") {
            ok = setCurrentUnit(UnitKind::Angle, name);
        } else if (use.name == "time") {
            const MTime::Unit unit = timeUnitNamed(name);
            ok = unit != MTime::kInvalid && MTime::setUIUnit(unit) == MStatus::kSuccess;
        } else {
            continue;
        }
        if (!ok) {
            // The wording is the host's.
            return MelResult::failure("currentUnit: '" + name + "' is not a " + use.name +
                                      " unit.");
        }
        set = name;
    }
    if (set.empty()) {
        return MelResult::failure("currentUnit: set -linear, -angle or -time.");
    }
    return text(set);
}

MelResult currentTimeCommand(const MelInvocation& call, MelContext&) {
    if (call.isQuery()) {
        return number(sceneTime());
    }
    if (call.positionals().empty()) {
        return MelResult::failure("currentTime: give the time to go to.");
    }
    double time = 0.0;
    std::string error;
    if (!uiTime(call.positionals()[0], time, error)) {
        return MelResult::failure(error);
    }
    // -update off would leave the scene as it was; the host updates it either way.
    setSceneTime(time);
    return number(sceneTime());
}

const char* loopName(PlaybackLoop loop) {
    switch (loop) {
        case PlaybackLoop::Once:
            return "once";
        case PlaybackLoop::Oscillate:
            return "oscillate";
        default:
            return "continuous";
    }
}

MelResult playbackOptionsCommand(const MelInvocation& call, MelContext&) {
    PlaybackOptions options = playbackOptions();
    if (call.isQuery()) {
        const std::string asked = call.flags().empty() ? std::string() : call.flags()[0].name;
        if (asked == "minTime") {
            return number(options.minTime);
        }
        if (asked == "maxTime") {
            return number(options.maxTime);
        }
        if (asked == "animationStartTime") {
            return number(options.animationStartTime);
        }
        if (asked == "animationEndTime") {
            return number(options.animationEndTime);
        }
        if (asked == "by") {
            return number(options.by);
        }
        if (asked == "loop") {
            return text(loopName(options.loop));
        }
        if (asked == "playbackSpeed") {
            return number(options.playbackSpeed);
        }
        if (asked == "maxPlaybackSpeed") {
            return number(options.maxPlaybackSpeed);
        }
        if (asked == "framesPerSecond") {
            const double rate = TimeUnits::convert(1.0, MTime::kSeconds, MTime::uiUnit());
            return number(options.playbackSpeed > 0.0 ? rate * options.playbackSpeed : rate);
        }
        return MelResult::failure("playbackOptions: a query needs a flag to query.");
    }
    for (const MelInvocation::FlagUse& use : call.flags()) {
        const MelValue& value = use.values.at(0);
        std::string error;
        double time = 0.0;
        if (use.name == "minTime" || use.name == "maxTime" || use.name == "animationStartTime" ||
            use.name == "animationEndTime") {
            if (!uiTime(value, time, error)) {
                return MelResult::failure(error);
            }
            (use.name == "minTime"              ? options.minTime
             : use.name == "maxTime"            ? options.maxTime
             : use.name == "animationStartTime" ? options.animationStartTime
                                                : options.animationEndTime) = time;
        } else if (use.name == "by") {
            options.by = value.asFloat();
        } else if (use.name == "playbackSpeed") {
            options.playbackSpeed = value.asFloat();
        } else if (use.name == "maxPlaybackSpeed") {
            options.maxPlaybackSpeed = value.asFloat();
        } else if (use.name == "loop") {
            const std::string loop = value.asString();
            if (loop == "once") {
                options.loop = PlaybackLoop::Once;
            } else if (loop == "continuous") {
                options.loop = PlaybackLoop::Continuous;
            } else if (loop == "oscillate") {
                options.loop = PlaybackLoop::Oscillate;
            } else {
                return MelResult::failure(
                    "playbackOptions: -loop is once, continuous or "
                    "oscillate, not '" +
                    loop + "'.");
            }
        }
    }
    if (!setPlaybackOptions(options)) {
        return MelResult::failure(
            "playbackOptions: the range would be empty, or -by or a speed out of range.");
    }
    return MelResult::success();
}

MelResult playCommand(const MelInvocation& call, MelContext&) {
    if (call.isQuery()) {
        if (call.has("forward")) {
            return MelResult::success(MelValue::ofInt(1));
        }
        return MelResult::success(MelValue::ofInt(hostState().timeline.playing() ? 1 : 0));
    }
    if (call.has("forward") && call.intValue("forward") == 0) {
        return MelResult::failure("play: this host plays forward only.");
    }
    if (call.has("state") && call.intValue("state") == 0) {
        stopPlayback();
    } else {
        startPlayback();
    }
    return MelResult::success();
}

}  // namespace

bool TimeCommands::install(MelInterpreter& interpreter) {
    bool all = interpreter.registerCommand(MelSyntax("currentUnit")
                                               .addFlag("linear", "l", {Arg::String}, C | Q)
                                               .addFlag("angle", "a", {Arg::String}, C | Q)
                                               .addFlag("time", "t", {Arg::String}, C | Q)
                                               .addFlag("fullName", "f", {}, C | Q),
                                           currentUnitCommand);
    all = interpreter.registerCommand(MelSyntax("currentTime")
                                          .allowModes(Q | E)
                                          .addFlag("update", "u", {Arg::Bool}, C | E)
                                          .setPositionals(0, 1, Arg::Time),
                                      currentTimeCommand) &&
          all;
    all = interpreter.registerCommand(
              MelSyntax("playbackOptions")
                  .addFlag("minTime", "min", {Arg::Time}, C | Q | E)
                  .addFlag("maxTime", "max", {Arg::Time}, C | Q | E)
                  .addFlag("animationStartTime", "ast", {Arg::Time}, C | Q | E)
                  .addFlag("animationEndTime", "aet", {Arg::Time}, C | Q | E)
                  .addFlag("by", "by", {Arg::Float}, C | Q | E)
                  .addFlag("loop", "l", {Arg::String}, C | Q | E)
                  .addFlag("playbackSpeed", "ps", {Arg::Float}, C | Q | E)
                  .addFlag("maxPlaybackSpeed", "mps", {Arg::Float}, C | Q | E)
                  .addFlag("framesPerSecond", "fps", {}, Q),
              playbackOptionsCommand) &&
          all;
    all = interpreter.registerCommand(MelSyntax("play")
                                          .addFlag("state", "st", {Arg::Bool}, C | Q)
                                          .addFlag("forward", "f", {Arg::Bool}, C | Q),
                                      playCommand) &&
          all;
    return all;
}

}  // namespace mayahost
