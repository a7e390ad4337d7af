#include "CommandLine.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string_view>

#include "FrameSchedule.h"
#include "ToolError.h"

namespace {

constexpr int kMaxPort = 65535;
constexpr int kMaxPerformers = 64;

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    std::function<void(const std::string&)> apply;
};

[[noreturn]] void fail(const std::string& message) {
    throw ToolError(ExitCode::kBadArguments, message);
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

long long parseInteger(std::string_view option, const std::string& text, long long min,
                       long long max) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range ||
        (ec == std::errc() && ptr == end && (value < min || value > max))) {
        fail("--" + std::string(option) + " must be between " + std::to_string(min) + " and " +
             std::to_string(max) + ", not " + quoted(text));
    }
    if (ec != std::errc() || ptr != end) {
        fail("--" + std::string(option) + " needs a whole number, not " + quoted(text));
    }
    return value;
}

std::uint64_t parseUnsigned(std::string_view option, const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        fail("--" + std::string(option) + " needs a whole number from 0, not " + quoted(text));
    }
    return value;
}

// A non-negative finite decimal; positive when zero would make no sense.
double parseAmount(std::string_view option, const std::string& text, bool positive) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
        !std::isfinite(value)) {
        fail("--" + std::string(option) + " needs a number, not " + quoted(text));
    }
    if (value < 0) {
        fail("--" + std::string(option) + " must not be negative, not " + quoted(text));
    }
    if (positive && value == 0) {
        fail("--" + std::string(option) + " must be greater than 0");
    }
    return value;
}

int parsePort(std::string_view option, const std::string& text) {
    return static_cast<int>(parseInteger(option, text, 1, kMaxPort));
}

std::vector<OptionSpec> streamOptions(StreamOptions& o) {
    return {
        {"host", true, [&o](const std::string& v) { o.host = v; }},
        {"port", true, [&o](const std::string& v) { o.port = parsePort("port", v); }},
        {"fps", true,
         [&o](const std::string& v) {
             const long long fps = parseInteger("fps", v, 0, kMaxPort);
             if (!FrameSchedule::isSupportedRate(static_cast<int>(fps))) {
                 fail("--fps must be 30, 50 or 60, not " + quoted(v));
             }
             o.fps = static_cast<int>(fps);
         }},
        {"duration", true,
         [&o](const std::string& v) { o.durationSeconds = parseAmount("duration", v, false); }},
        {"performers", true,
         [&o](const std::string& v) {
             o.performers = static_cast<int>(parseInteger("performers", v, 1, kMaxPerformers));
         }},
        {"loss", true,
         [&o](const std::string& v) {
             o.lossPercent = parseAmount("loss", v, false);
             if (o.lossPercent > 100) {
                 fail("--loss is a percentage from 0 to 100, not " + quoted(v));
             }
         }},
        {"seed", true, [&o](const std::string& v) { o.seed = parseUnsigned("seed", v); }},
        {"jitter", true,
         [&o](const std::string& v) { o.jitterMs = parseAmount("jitter", v, false); }},
        {"pause-at", true,
         [&o](const std::string& v) { o.pauseAtSeconds = parseAmount("pause-at", v, false); }},
        {"pause-for", true,
         [&o](const std::string& v) { o.pauseForSeconds = parseAmount("pause-for", v, true); }},
        {"repeat-definition", true,
         [&o](const std::string& v) {
             o.repeatDefinitionSeconds = parseAmount("repeat-definition", v, true);
         }},
        {"spin", true,
         [&o](const std::string& v) { o.spinDegreesPerSecond = parseAmount("spin", v, false); }},
        {"quiet", false, [&o](const std::string&) { o.quiet = true; }},
    };
}

std::vector<OptionSpec> captureOptions(CaptureOptions& o) {
    return {
        {"bind", true, [&o](const std::string& v) { o.bindAddress = v; }},
        {"port", true, [&o](const std::string& v) { o.port = parsePort("port", v); }},
        {"output", true, [&o](const std::string& v) { o.output = v; }},
        {"duration", true,
         [&o](const std::string& v) { o.durationSeconds = parseAmount("duration", v, false); }},
        {"count", true,
         [&o](const std::string& v) {
             o.count = parseInteger("count", v, 1, std::numeric_limits<std::int64_t>::max());
         }},
        {"quiet", false, [&o](const std::string&) { o.quiet = true; }},
    };
}

std::vector<OptionSpec> replayOptions(ReplayOptions& o) {
    return {
        {"input", true, [&o](const std::string& v) { o.input = v; }},
        {"host", true, [&o](const std::string& v) { o.host = v; }},
        {"port", true, [&o](const std::string& v) { o.port = parsePort("port", v); }},
        {"speed", true, [&o](const std::string& v) { o.speed = parseAmount("speed", v, true); }},
        {"quiet", false, [&o](const std::string&) { o.quiet = true; }},
    };
}

// Returns false when --help was asked for.
bool applyOptions(const std::vector<std::string>& args, std::size_t first,
                  const std::vector<OptionSpec>& options) {
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            return false;
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            fail("unexpected argument " + quoted(arg));
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
        const OptionSpec* option = nullptr;
        for (const OptionSpec& candidate : options) {
            if (candidate.name == name) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            fail("unknown option " + quoted("--" + name));
        }
        if (!option->takesValue) {
            if (equals != std::string::npos) {
                fail("option --" + name + " takes no value");
            }
            option->apply({});
            continue;
        }
        if (equals != std::string::npos) {
            option->apply(arg.substr(equals + 1));
            continue;
        }
        // "--port --fps 30" is a forgotten value, not a port named --fps.
        if (i + 1 >= args.size() || args[i + 1].compare(0, 2, "--") == 0) {
            fail("option --" + name + " needs a value");
        }
        option->apply(args[++i]);
    }
    return true;
}

void checkStream(const StreamOptions& o) {
    if (o.pauseAtSeconds.has_value() != (o.pauseForSeconds > 0)) {
        fail("--pause-at and --pause-for go together");
    }
    if (o.port + o.performers - 1 > kMaxPort) {
        fail(std::to_string(o.performers) + " performers from port " + std::to_string(o.port) +
             " go past port 65535");
    }
}

}  // namespace

CommandLine::Parsed CommandLine::parse(const std::vector<std::string>& args) {
    Parsed parsed;
    std::size_t first = 0;
    if (!args.empty() && (args[0] == "capture" || args[0] == "replay" || args[0] == "stream")) {
        parsed.command = args[0] == "capture"  ? Command::kCapture
                         : args[0] == "replay" ? Command::kReplay
                                               : Command::kStream;
        first = 1;
    }
    bool proceed = false;
    switch (parsed.command) {
        case Command::kCapture:
            proceed = applyOptions(args, first, captureOptions(parsed.capture));
            if (proceed && parsed.capture.output.empty()) {
                fail("capture needs --output FILE");
            }
            break;
        case Command::kReplay:
            proceed = applyOptions(args, first, replayOptions(parsed.replay));
            if (proceed && parsed.replay.input.empty()) {
                fail("replay needs --input FILE");
            }
            break;
        default:
            proceed = applyOptions(args, first, streamOptions(parsed.stream));
            if (proceed) {
                checkStream(parsed.stream);
            }
            break;
    }
    if (!proceed) {
        parsed.command = Command::kHelp;
    }
    return parsed;
}

std::string CommandLine::usage() {
    return "usage: tulvex-stream [--host H] [--port P] [--fps 30|50|60] [--duration S] [options]\n"
           "       tulvex-stream capture --port P --output FILE.pcap [--duration S] [--count N]\n"
           "       tulvex-stream replay --input FILE.pcap [--host H] [--port P] [--speed X]\n"
           "Try 'tulvex-stream --help' for more.\n";
}

std::string CommandLine::help() {
    return R"(usage: tulvex-stream [options]
       tulvex-stream capture --port P --output FILE.pcap [options]
       tulvex-stream replay --input FILE.pcap [options]

Emulates the capture phone: sends a skeleton definition and then frames of a walking
performer as ZMF datagrams over UDP.

Streaming options:
  --host H                  destination host name or IPv4 address (default 127.0.0.1)
  --port P                  destination UDP port (default 12351)
  --fps 30|50|60            frame rate (default 60)
  --duration S              stop after S seconds (default: until Ctrl-C or SIGTERM)
  --performers N            N performers on ports P, P+1, ... (default 1, at most 64)
  --loss PERCENT            drop that share of frames at random (default 0)
  --seed N                  seed of the loss and jitter draws (default 1)
  --jitter MS               delay each send by up to MS milliseconds; timestamps stay exact
  --pause-at S --pause-for S
                            send nothing from S seconds on for a while, then the
                            definition again before the frames
  --repeat-definition S     send the definition again every S seconds
  --spin D                  performers also turn about the vertical, D degrees a
                            second (default 0), past every half turn
  --quiet                   print nothing but errors

capture: records the datagrams arriving on a UDP port into a pcap file.
  --port P                  UDP port to receive on (default 12351)
  --bind ADDRESS            local IPv4 address to receive on (default 0.0.0.0)
  --output FILE             pcap file to write (required)
  --duration S              stop after S seconds
  --count N                 stop after N datagrams
  --quiet                   print nothing but errors

replay: sends the UDP payloads of a pcap file (Ethernet, Linux cooked, raw IPv4 or BSD
loopback) with their original spacing.
  --input FILE              pcap file to read (required)
  --host H                  destination host (default 127.0.0.1)
  --port P                  destination port (default: each packet's own)
  --speed X                 play X times as fast (default 1)
  --quiet                   print nothing but errors

Exit codes: 0 success, 1 other failure, 2 bad arguments, 3 unknown host,
4 unreadable or malformed pcap file, 5 socket or bind failure.

The datagrams' layout, byte by byte, is in docs/wire-format.md; the plug-in's user's
guide is docs/user-guide.md.
)";
}
