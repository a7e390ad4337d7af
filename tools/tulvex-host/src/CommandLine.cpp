#include "CommandLine.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "HostError.h"

namespace {

constexpr int kMaxPort = 65535;
constexpr int kMaxPerformers = 64;
// Beyond an hour a take is a mistake, and keys stop fitting in memory comfortably.
constexpr double kMaxSeconds = 3600.0;

[[noreturn]] void fail(const std::string& message) {
    throw HostError(ExitCode::kBadArguments, message);
}

int parseInteger(const std::string& option, const std::string& text, int min, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        fail("--" + option + " needs a whole number, not '" + text + "'");
    }
    if (value < min || value > max) {
        fail("--" + option + " must be between " + std::to_string(min) + " and " +
             std::to_string(max) + ", not '" + text + "'");
    }
    return value;
}

double parseSeconds(const std::string& option, const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
        !std::isfinite(value)) {
        fail("--" + option + " needs a number of seconds, not '" + text + "'");
    }
    if (value <= 0.0 || value > kMaxSeconds) {
        fail("--" + option + " must be more than 0 and at most 3600 seconds, not '" + text + "'");
    }
    return value;
}

double parseNumber(const std::string& option, const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
        !std::isfinite(value)) {
        fail("--" + option + " needs a number, not '" + text + "'");
    }
    return value;
}

// "MINCUTOFF,BETA": a cutoff above 0 Hz and a beta of 0 or more; or "off".
void parseSmoothing(HostOptions& options, const std::string& text) {
    options.smoothingGiven = true;
    if (text == "off") {
        options.smoothing = false;
        return;
    }
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        fail("--smoothing needs MINCUTOFF,BETA or off, not '" + text + "'");
    }
    options.smoothingMinCutoff = parseNumber("smoothing", text.substr(0, comma));
    options.smoothingBeta = parseNumber("smoothing", text.substr(comma + 1));
    if (options.smoothingMinCutoff <= 0.0 || options.smoothingBeta < 0.0) {
        fail("--smoothing needs a cutoff above 0 Hz and a beta of 0 or more, not '" + text + "'");
    }
    options.smoothing = true;
}

std::string parsePath(const std::string& option, const std::string& text) {
    if (text.empty()) {
        fail("--" + option + " needs a path");
    }
    return text;
}

enum class Value { kNone, kRequired, kOptional };  // an optional value comes after "="

struct Option {
    std::string_view name;
    Value value;
    std::function<void(HostOptions&, const std::string&)> apply;
};

PanelDisplay parsePanels(const std::string& text) {
    if (text.empty() || text == "end") {
        return PanelDisplay::kAtEnd;
    }
    if (text == "always") {
        return PanelDisplay::kAlways;
    }
    fail("--show-panels takes 'end' or 'always', not '" + text + "'");
}

const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {"plugin", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.pluginPath = parsePath("plugin", v); }},
        {"scripts", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.scriptsDir = parsePath("scripts", v); }},
        {"performers", Value::kRequired,
         [](HostOptions& o, const std::string& v) {
             o.performers = parseInteger("performers", v, 1, kMaxPerformers);
         }},
        {"port", Value::kRequired,
         [](HostOptions& o, const std::string& v) {
             o.port = parseInteger("port", v, 1, kMaxPort);
         }},
        {"record", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.recordSeconds = parseSeconds("record", v); }},
        {"wait-timeout", Value::kRequired,
         [](HostOptions& o, const std::string& v) {
             o.waitTimeoutSeconds = parseSeconds("wait-timeout", v);
         }},
        {"output", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.outputPath = parsePath("output", v); }},
        {"journal", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.journalDir = parsePath("journal", v); }},
        {"rebake", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.rebakePath = parsePath("rebake", v); }},
        {"continuous-rotations", Value::kNone,
         [](HostOptions& o, const std::string&) { o.continuousRotations = true; }},
        {"smoothing", Value::kRequired,
         [](HostOptions& o, const std::string& v) { parseSmoothing(o, v); }},
        {"floor-offset", Value::kRequired,
         [](HostOptions& o, const std::string& v) {
             o.floorOffsetCm = parseNumber("floor-offset", v);
             o.floorOffsetGiven = true;
         }},
        {"mel", Value::kRequired,
         [](HostOptions& o, const std::string& v) { o.melPath = parsePath("mel", v); }},
        {"show-panels", Value::kOptional,
         [](HostOptions& o, const std::string& v) { o.panels = parsePanels(v); }},
        {"help", Value::kNone, [](HostOptions& o, const std::string&) { o.help = true; }},
    };
    return table;
}

}  // namespace

HostOptions CommandLine::parse(const std::vector<std::string>& args) {
    HostOptions result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h") {
            result.help = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            fail("unexpected argument '" + arg + "'");
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? arg.npos : equals - 2);
        const Option* option = nullptr;
        for (const Option& candidate : options()) {
            if (candidate.name == name) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            fail("unknown option '--" + name + "'");
        }
        std::string value;
        if (equals != std::string::npos) {
            if (option->value == Value::kNone) {
                fail("--" + name + " takes no value");
            }
            value = arg.substr(equals + 1);
        } else if (option->value == Value::kRequired) {
            if (i + 1 >= args.size()) {
                fail("--" + name + " needs a value");
            }
            value = args[++i];
        }
        option->apply(result, value);
    }
    if (result.port + result.performers - 1 > kMaxPort) {
        fail("--port " + std::to_string(result.port) + " leaves no room for " +
             std::to_string(result.performers) + " performers below port 65536");
    }
    return result;
}

std::string CommandLine::usage() {
    return "Usage: tulvex-host [options]\n"
           "\n"
           "Loads the Tulvex plug-in and its MEL scripts without Maya, makes one device\n"
           "node per performer with the Tulvex shelf, switches it live and binds it from\n"
           "its panel, records a take while the timeline plays and writes it as a Maya\n"
           "ASCII scene.\n"
           "\n"
           "Options:\n"
           "  --plugin PATH          plug-in module (default: the build's staged module,\n"
           "                         Tulvex/plug-ins/<platform>/, found from this program)\n"
           "  --scripts DIR          MEL scripts folder (default: the staged Tulvex/scripts)\n"
           "  --performers N         device nodes, one per performer, 1 to 64 (default 1)\n"
           "  --port PORT            input port of the first node; node i listens on\n"
           "                         PORT + i (default 12351)\n"
           "  --record SECONDS       length of the take (default 5)\n"
           "  --wait-timeout SECONDS how long to wait for every stream to be bound and\n"
           "                         flowing (default 15)\n"
           "  --output FILE          Maya ASCII file to write (default take.ma); checked\n"
           "                         before anything is recorded, and replaced only by a\n"
           "                         complete take\n"
           "  --journal DIR          project folder whose data/tulvex/untitled/ keeps each\n"
           "                         node's take journal: <node>_take<N>.pcap, .samples and\n"
           "                         .json (default: the folder of --output)\n"
           "  --rebake FILE          bake a journaled take again (any of its .pcap, .samples\n"
           "                         or .json) and write it to --output, with no stream\n"
           "  --continuous-rotations bake each rotation key as the equivalent angles nearest\n"
           "                         the bone's previous key, so turns past 180 degrees\n"
           "                         do not jump (also with --rebake)\n"
           "  --smoothing MINCUTOFF,BETA\n"
           "                         smooth the live pose with a One Euro filter: cutoff\n"
           "                         at rest in Hz, and how fast it rises with speed\n"
           "                         (per degree or centimetre per second); try 1,0.1.\n"
           "                         With --rebake, the take's frames are decoded again\n"
           "                         with this smoothing, or none with --smoothing off\n"
           "  --floor-offset CM      raise the root by CM centimetres in what is shown,\n"
           "                         recorded and baked. --rebake keeps the smoothing\n"
           "                         and floor offset the take was recorded with unless\n"
           "                         these two options are given\n"
           "  --mel FILE             MEL script to source once the take is baked and\n"
           "                         before the scene is written, as a user would type it\n"
           "                         in the Script Editor (say, to drive and bake a HumanIK\n"
           "                         character); what it prints is shown, and an error in it\n"
           "                         ends the run with exit code 1\n"
           "  --show-panels[=WHEN]   print each device panel's controls and their state as\n"
           "                         the scripts left them: 'end' (the default) after the\n"
           "                         summary; 'always' also shows each panel's stream\n"
           "                         status and take lines with every status update\n"
           "  -h, --help             show this text\n"
           "\n"
           "Exit codes: 0 done, 2 bad arguments, 3 plug-in not found or not loaded,\n"
           "4 decoding library missing, 5 port in use, 6 no stream in time,\n"
           "7 take not baked or file not writable, 8 journal missing or damaged\n"
           "(--rebake), 130 interrupted. A stream that stops\n"
           "during the take is reported as a warning on standard error.\n"
           "\n"
           "Working with the plug-in in Maya: docs/user-guide.md. What is on the wire:\n"
           "docs/wire-format.md. Threads, layers and the stand-in host: docs/architecture.md.\n";
}
