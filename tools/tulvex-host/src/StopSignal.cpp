#include "StopSignal.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onSignal(int /*number*/) {
    stopRequested.store(true);
}

}  // namespace

void StopSignal::install() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopSignal::requested() {
    return stopRequested.load();
}
