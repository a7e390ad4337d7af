#include "StreamEmulator.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <numeric>
#include <optional>
#include <ostream>
#include <random>
#include <string>

#include "FrameSchedule.h"
#include "HostResolver.h"
#include "Performer.h"
#include "StopFlag.h"
#include "ToolError.h"
#include "UdpSocket.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::duration fromSeconds(double seconds) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::uint64_t nowMicros() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
}

// Timestamps count from a whole second of the monotonic clock, like a phone's media clock.
std::int64_t wholeSecondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch())
               .count() +
           1;
}

}  // namespace

StreamEmulator::StreamEmulator(StreamOptions options, std::ostream& out)
    : options_(std::move(options)), out_(out) {}

void StreamEmulator::run() {
    const in_addr host = HostResolver::resolve(options_.host);
    UdpSocket socket;

    const std::uint64_t created = nowMicros();
    std::vector<Performer> performers;
    std::vector<sockaddr_in> destinations;
    counts_.assign(static_cast<std::size_t>(options_.performers), Counts{});
    for (int i = 0; i < options_.performers; ++i) {
        performers.emplace_back(i, created, options_.spinDegreesPerSecond);
        destinations.push_back(HostResolver::endpoint(host, options_.port + i));
        counts_[i].port = options_.port + i;
    }
    const FrameSchedule schedule(options_.fps, wholeSecondsNow());
    const std::int64_t frameCount = options_.durationSeconds
                                        ? schedule.frameCount(*options_.durationSeconds)
                                        : std::numeric_limits<std::int64_t>::max();

    if (!options_.quiet) {
        out_ << "tulvex-stream: " << options_.performers
             << (options_.performers == 1 ? " performer" : " performers") << " at " << options_.fps
             << " fps to " << HostResolver::toString(destinations.front())
             << (options_.durationSeconds ? "" : " (Ctrl-C stops)") << std::endl;
    }

    // Separate generators, so that changing the jitter leaves the pattern of losses alone.
    std::mt19937_64 lossDraws(options_.seed);
    std::mt19937_64 jitterDraws(options_.seed ^ 0x9E3779B97F4A7C15ULL);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double lossShare = options_.lossPercent / 100.0;

    std::optional<ToolError> failure;
    const Clock::time_point start = Clock::now();
    try {
        for (std::size_t i = 0; i < performers.size(); ++i) {
            socket.sendTo(destinations[i], performers[i].definitionPacket());
            ++counts_[i].definitions;
        }

        bool paused = false;
        double nextDefinition = options_.repeatDefinitionSeconds.value_or(0);
        std::vector<std::size_t> order(performers.size());
        std::vector<double> delays(performers.size());
        std::vector<bool> drop(performers.size());
        for (std::int64_t k = 0; k < frameCount; ++k) {
            const double offset = schedule.offsetSeconds(k);
            const Clock::time_point due = start + fromSeconds(offset);
            if (!StopFlag::waitUntil(due)) {
                break;
            }
            if (options_.pauseAtSeconds && offset >= *options_.pauseAtSeconds &&
                offset < *options_.pauseAtSeconds + options_.pauseForSeconds) {
                paused = true;
                continue;
            }
            // After a pause the plug-in waits for a definition, so one leads the first frame.
            bool sendDefinition = paused;
            paused = false;
            if (options_.repeatDefinitionSeconds && offset >= nextDefinition) {
                sendDefinition = true;
                while (nextDefinition <= offset) {
                    nextDefinition += *options_.repeatDefinitionSeconds;
                }
            }

            for (std::size_t i = 0; i < performers.size(); ++i) {
                drop[i] = lossShare > 0 && unit(lossDraws) < lossShare;
                delays[i] = options_.jitterMs > 0 ? unit(jitterDraws) * options_.jitterMs : 0;
            }
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [&delays](std::size_t a, std::size_t b) {
                return delays[a] < delays[b];
            });
            for (const std::size_t i : order) {
                if (delays[i] > 0 && !StopFlag::waitUntil(due + fromSeconds(delays[i] / 1000.0))) {
                    break;
                }
                if (sendDefinition) {
                    socket.sendTo(destinations[i], performers[i].definitionPacket());
                    ++counts_[i].definitions;
                }
                if (drop[i]) {
                    ++counts_[i].dropped;
                    continue;
                }
                socket.sendTo(destinations[i], performers[i].framePacket(schedule, k));
                ++counts_[i].frames;
            }
        }
    } catch (const ToolError& error) {
        failure = error;
    }

    printSummary();
    if (failure) {
        throw *failure;
    }
}

void StreamEmulator::printSummary() const {
    if (options_.quiet) {
        return;
    }
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        const Counts& c = counts_[i];
        out_ << "performer " << i + 1 << " -> " << options_.host << ":" << c.port << ": "
             << c.definitions + c.frames << " datagrams sent (" << c.definitions
             << (c.definitions == 1 ? " definition, " : " definitions, ") << c.frames
             << " frames), " << c.dropped << " frames dropped" << std::endl;
    }
}
