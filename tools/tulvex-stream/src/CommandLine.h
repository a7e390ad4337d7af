#pragma once

#include <string>
#include <vector>

#include "CaptureOptions.h"
#include "ReplayOptions.h"
#include "StreamOptions.h"

// GNU-style long options (--name value or --name=value) of the three commands: streaming
// (the default), capture and replay.
class CommandLine {
public:
    enum class Command { kStream, kCapture, kReplay, kHelp };

    struct Parsed {
        Command command = Command::kStream;
        StreamOptions stream;
        CaptureOptions capture;
        ReplayOptions replay;
    };

    // args excludes the program name. Throws ToolError(kBadArguments) naming what is wrong.
    static Parsed parse(const std::vector<std::string>& args);

    static std::string help();
    static std::string usage();
};
