#include "Application.h"

#include <ostream>

#include "PcapCapture.h"
#include "PcapReplay.h"
#include "StopFlag.h"
#include "StreamEmulator.h"
#include "ToolError.h"

int Application::run(const CommandLine::Parsed& command, std::ostream& out, std::ostream& err) {
    try {
        StopFlag::installSignalHandlers();
        switch (command.command) {
            case CommandLine::Command::kHelp:
                out << CommandLine::help();
                break;
            case CommandLine::Command::kStream:
                StreamEmulator(command.stream, out).run();
                break;
            case CommandLine::Command::kCapture:
                PcapCapture(command.capture, out).run();
                break;
            case CommandLine::Command::kReplay:
                PcapReplay(command.replay, out).run();
                break;
        }
    } catch (const ToolError& error) {
        err << "tulvex-stream: " << error.what() << std::endl;
        return static_cast<int>(error.code());
    }
    return static_cast<int>(ExitCode::kSuccess);
}

int Application::reportBadArguments(const std::string& message, std::ostream& err) {
    err << "tulvex-stream: " << message << "\n" << CommandLine::usage();
    return static_cast<int>(ExitCode::kBadArguments);
}
