#include "Application.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "CommandLine.h"
#include "HostError.h"
#include "HostSession.h"
#include "ModuleLayout.h"
#include "ProgressDisplay.h"
#include "StopSignal.h"

namespace {

int exitWith(ExitCode code) {
    return static_cast<int>(code);
}

void reportError(const std::string& message) {
    std::fprintf(stderr, "tulvex-host: %s\n", message.c_str());
}

}  // namespace

int Application::run(const std::vector<std::string>& args) {
    HostOptions options;
    try {
        options = CommandLine::parse(args);
    } catch (const HostError& error) {
        reportError(error.what());
        std::fprintf(stderr, "\n%s", CommandLine::usage().c_str());
        return exitWith(error.code());
    }
    if (options.help) {
        std::printf("%s", CommandLine::usage().c_str());
        return exitWith(ExitCode::kSuccess);
    }
    StopSignal::install();
    // A file-size limit then fails the write, which is reported, instead of killing the run.
    std::signal(SIGXFSZ, SIG_IGN);

    ProgressDisplay display(stdout, ProgressDisplay::isTerminal(stdout));
    try {
        const bool defaultsNeeded = options.pluginPath.empty() || options.scriptsDir.empty();
        ModuleLayout layout(
            defaultsNeeded ? ModuleLayout::runningExecutable() : std::filesystem::path(),
            options.pluginPath, options.scriptsDir);
        const std::string output = options.outputPath;
        const bool showPanels = options.panels != PanelDisplay::kNever;
        const bool rebaking = !options.rebakePath.empty();
        std::string summary;
        std::vector<std::string> warnings;
        std::vector<std::string> panels;
        {
            HostSession session(std::move(options), std::move(layout), display);
            if (rebaking) {
                session.rebake();
            } else {
                session.run();
            }
            summary = session.summary();
            warnings = session.warnings();
            panels = session.panels();
        }
        display.finish();
        std::printf("\n%s", summary.c_str());
        if (showPanels) {
            for (const std::string& panel : panels) {
                std::printf("\n%s", panel.c_str());
            }
        }
        std::printf("\nWrote %s\n", output.c_str());
        std::fflush(stdout);
        for (const std::string& warning : warnings) {
            std::fprintf(stderr, "tulvex-host: warning: %s\n", warning.c_str());
        }
        return exitWith(ExitCode::kSuccess);
    } catch (const HostError& error) {
        display.finish();
        reportError(error.what());
        return exitWith(error.code());
    } catch (const std::exception& error) {
        display.finish();
        reportError(error.what());
        return exitWith(ExitCode::kFailure);
    }
}
