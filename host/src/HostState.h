#pragma once

// The stand-in host's process-wide state. One instance lives in the host library, so the
// embedder and every plug-in module it loads see the same scene.

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace mayahost {

struct StringTable {
    std::mutex mutex;  // any thread looks strings up; guards both maps
    std::map<std::pair<std::string, std::string>, std::string> registered;
    std::map<std::pair<std::string, std::string>, std::string> localized;
};

struct IdleQueue {
    std::mutex mutex;  // capture threads queue, the main thread runs; guards commands
    std::deque<std::string> commands;
};

struct ErrorLog {
    std::mutex mutex;  // errors are shown from any host thread; guards shown
    std::vector<std::string> shown;
};

struct HostState {
    StringTable strings;
    IdleQueue idle;
    ErrorLog errors;
};

HostState& hostState();

}  // namespace mayahost
