#include "StopFlag.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

namespace {

// Lock-free, so setting it from a signal handler is safe, and atomic, so a stop requested from
// another thread is seen.
std::atomic<bool> gStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// The longest a wait goes without looking at the flag; short enough to feel immediate.
constexpr auto kPollSlice = std::chrono::milliseconds(20);

extern "C" void onStopSignal(int /*signal*/) {
    gStopRequested.store(true);
}

}  // namespace

void StopFlag::installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void StopFlag::request() {
    gStopRequested.store(true);
}

void StopFlag::reset() {
    gStopRequested.store(false);
}

bool StopFlag::requested() {
    return gStopRequested.load();
}

bool StopFlag::waitUntil(std::chrono::steady_clock::time_point deadline) {
    while (!requested()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return true;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(deadline - now, kPollSlice));
    }
    return false;
}
