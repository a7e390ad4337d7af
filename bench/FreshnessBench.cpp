// How fresh the frame a node shows is, each figure beside a raw loopback receiver in the same
// run: the age of the shown frame at each evaluation under streams at 2, 10 and 100 times the
// loop pace; how long the newest frame of a 10-datagram burst takes to show; and, with 1 to 64
// performers at 60 fps, per node the blocks pushed and superseded, the datagrams lost, and the
// frames that were the newest when their node evaluated yet were never shown.
// The main thread plays Maya's: it sleeps until a refresh and evaluates the nodes that asked.
// Usage: tulvex_freshness_bench [seconds per stream, default 5]
#include <mayahost/HostControl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "BenchHost.h"
#include "LoopbackSender.h"
#include "Percentiles.h"
#include "RawReceiver.h"
#include "SendLog.h"
#include "StreamingNode.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;
using std::chrono::milliseconds;

// frameRate for a 60 fps stream: a pass lasts at least 1/90 s.
constexpr double kFrameRate = 90.0;
constexpr double kLoopPeriodMs = 1000.0 / kFrameRate;

// One wait for a refresh and one evaluation of every node that asked, as Maya's idle
// processing does; returns the nodes whose compute took a block.
std::vector<std::size_t> evaluate(const std::vector<std::unique_ptr<StreamingNode>>& nodes) {
    mayahost::waitForRefresh(milliseconds(20));
    std::vector<long> before;
    before.reserve(nodes.size());
    for (const std::unique_ptr<StreamingNode>& node : nodes) {
        before.push_back(node->popped());
    }
    mayahost::processRefreshes();
    mayahost::takeIdleCommands();  // frameRate requests: the pace stays the one set here
    std::vector<std::size_t> evaluated;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i]->popped() != before[i]) {
            evaluated.push_back(i);
        }
    }
    return evaluated;
}

std::uint64_t value(const std::atomic<std::uint64_t>& counter) {
    return counter.load();
}

void printAges(const char* who, const std::vector<double>& ages) {
    const Percentiles p = Percentiles::of(ages);
    std::printf("%s median %.2f ms, p99 %.2f ms, max %.2f ms\n", who, p.median, p.p99, p.max);
}

// Frames at `multiplier` times the loop pace to a node and to a raw receiver; at each of the
// node's evaluations, the age of the frame it shows and of the raw receiver's newest.
void benchOverRate(int multiplier, int seconds) {
    std::vector<std::unique_ptr<StreamingNode>> nodes;
    nodes.push_back(std::make_unique<StreamingNode>(LoopbackSender::freePort(), kFrameRate));
    StreamingNode& node = *nodes.front();
    RawReceiver raw(LoopbackSender::freePort());
    const double rate = kFrameRate * multiplier;
    const auto frames = static_cast<std::int64_t>(rate * seconds);
    SendLog log(frames + 1);
    const std::uint64_t receivedBefore = value(node.counters().datagramsReceived);
    const std::uint64_t pushedBefore = value(node.counters().blocksPushed);

    std::atomic<bool> sending{true};
    std::thread sender([&] {
        LoopbackSender out;
        const auto period =
            std::chrono::duration_cast<Clock::duration>(duration<double>(1.0 / rate));
        auto next = Clock::now();
        for (std::int64_t i = 1; i <= frames; ++i) {
            const std::vector<std::byte> packet = StreamingNode::frame(i);
            log.record(i, Clock::now());
            out.send(node.port(), packet);
            out.send(raw.port(), packet);
            next += period;
            std::this_thread::sleep_until(next);
        }
        sending.store(false);
    });
    std::vector<double> ours;
    std::vector<double> rawAges;
    std::vector<double> unread;
    while (sending.load()) {
        if (evaluate(nodes).empty()) {
            continue;
        }
        const auto now = Clock::now();
        const double age = log.ageSeconds(node.shown(), now);
        const double rawAge = log.ageSeconds(raw.newestFrame(), now);
        if (age < 0.0 || rawAge < 0.0) {
            continue;  // before the first frame
        }
        ours.push_back(age * 1000.0);
        rawAges.push_back(rawAge * 1000.0);
        unread.push_back(
            static_cast<double>(log.sentCount()) -
            static_cast<double>(value(node.counters().datagramsReceived) - receivedBefore));
    }
    sender.join();
    const Percentiles u = Percentiles::of(unread);
    std::printf("stream at %dx the loop pace (%.0f frames/s, %lld sent), at each evaluation:\n",
                multiplier, rate, static_cast<long long>(frames));
    printAges("  age of the frame the node shows:   ", ours);
    std::printf("    (goal <= one loop period, %.1f ms)\n", kLoopPeriodMs);
    printAges("  raw receiver's newest frame age:   ", rawAges);
    std::printf(
        "  datagrams sent but not read yet:   median %.0f, max %.0f; %zu evaluations, %llu "
        "blocks for %llu datagrams, %llu superseded\n",
        u.median, u.max, ours.size(),
        static_cast<unsigned long long>(value(node.counters().blocksPushed) - pushedBefore),
        static_cast<unsigned long long>(value(node.counters().datagramsReceived) - receivedBefore),
        static_cast<unsigned long long>(value(node.counters().blocksSuperseded)));
}

// After the same idle gap, 10 frames back to back to a node and to a raw receiver: how long
// until the node shows the newest of them, and until the raw receiver has read it.
void benchBurst() {
    constexpr int kRounds = 50;
    constexpr int kBurst = 10;
    constexpr milliseconds kIdleGap(50);
    std::vector<std::unique_ptr<StreamingNode>> nodes;
    nodes.push_back(std::make_unique<StreamingNode>(LoopbackSender::freePort(), kFrameRate));
    StreamingNode& node = *nodes.front();
    RawReceiver raw(LoopbackSender::freePort());
    LoopbackSender out;
    std::vector<double> ours;
    std::vector<double> rawDelays;
    std::vector<double> evaluationsNeeded;
    // Rounds that needed a second evaluation, and of those the ones whose first evaluation
    // had ended before the node had even received the burst's newest datagram.
    int secondNeeded = 0;
    int newestNotYetReceived = 0;
    std::int64_t number = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto idleEnd = Clock::now() + kIdleGap;
        while (Clock::now() < idleEnd) {
            evaluate(nodes);
        }
        // Timed from the sending of the newest, the frame both readers are waited for.
        Clock::time_point sent;
        for (int i = 0; i < kBurst; ++i) {
            const std::vector<std::byte> packet = StreamingNode::frame(++number);
            sent = Clock::now();
            out.send(node.port(), packet);
            out.send(raw.port(), packet);
        }
        int evaluations = 0;
        bool receivedByFirst = true;
        const std::uint64_t receivedBefore = value(node.counters().datagramsReceived);
        const auto deadline = sent + std::chrono::seconds(2);
        while (node.shown() != number && Clock::now() < deadline) {
            evaluations += evaluate(nodes).empty() ? 0 : 1;
            if (evaluations == 1 && node.shown() != number) {
                receivedByFirst = value(node.counters().datagramsReceived) >=
                                  receivedBefore + static_cast<std::uint64_t>(kBurst);
            }
        }
        if (evaluations > 1) {
            ++secondNeeded;
            newestNotYetReceived += receivedByFirst ? 0 : 1;
        }
        ours.push_back(duration<double, std::milli>(Clock::now() - sent).count());
        evaluationsNeeded.push_back(evaluations);
        while (raw.newestFrame() != number && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        rawDelays.push_back(duration<double, std::milli>(raw.newestFrameRead() - sent).count());
    }
    std::printf("a burst of %d frames after %lld ms idle, %d rounds:\n", kBurst,
                static_cast<long long>(kIdleGap.count()), kRounds);
    printAges("  until an evaluation shows its newest:", ours);
    printAges("  raw receiver, until it read it:      ", rawDelays);
    const Percentiles e = Percentiles::of(evaluationsNeeded);
    std::printf("  evaluations needed: median %.0f, max %.0f; %llu blocks superseded in all\n",
                e.median, e.max,
                static_cast<unsigned long long>(value(node.counters().blocksSuperseded)));
    std::printf(
        "  rounds that needed a second evaluation: %d of %d; in %d of them the node had not "
        "yet received the newest datagram when the first evaluation ended\n",
        secondNeeded, kRounds, newestNotYetReceived);
}

// What one node saw in the performers run.
struct NodeFigures {
    std::int64_t sent = 0;
    std::uint64_t received = 0;
    std::uint64_t applied = 0;
    std::uint64_t pushed = 0;
    std::uint64_t superseded = 0;
    std::uint64_t passesWithoutBuffer = 0;
    long evaluations = 0;
    long behind = 0;       // evaluations that showed an older frame than the newest applied
    std::size_t lost = 0;  // frames newest at an evaluation and never shown
};

// Sends 60 fps to each of `ports` for `seconds`, spread evenly over each frame period.
std::thread sendPerformers(const std::vector<int>& ports, int seconds,
                           std::vector<std::unique_ptr<SendLog>>& logs,
                           std::atomic<bool>& sending) {
    return std::thread([&ports, seconds, &logs, &sending] {
        LoopbackSender out;
        const std::size_t count = ports.size();
        const auto step = std::chrono::duration_cast<Clock::duration>(
            std::chrono::microseconds(16667) / static_cast<long>(count));
        const auto start = Clock::now();
        const std::size_t ticks = static_cast<std::size_t>(seconds) * 60 * count;
        for (std::size_t tick = 0; tick < ticks; ++tick) {
            const std::size_t performer = tick % count;
            const auto number = static_cast<std::int64_t>(tick / count) + 1;
            logs[performer]->record(number, Clock::now());
            out.send(ports[performer], StreamingNode::frame(number));
            std::this_thread::sleep_until(start + step * static_cast<long>(tick + 1));
        }
        sending.store(false);
    });
}

void benchPerformers(int count, int seconds) {
    std::vector<std::unique_ptr<StreamingNode>> nodes;
    std::vector<int> ports;
    std::vector<std::unique_ptr<SendLog>> logs;
    for (int i = 0; i < count; ++i) {
        nodes.push_back(std::make_unique<StreamingNode>(LoopbackSender::freePort(), kFrameRate));
        ports.push_back(nodes.back()->port());
        logs.push_back(std::make_unique<SendLog>(seconds * 60 + 1));
    }
    std::vector<std::uint64_t> receivedBefore;
    for (const std::unique_ptr<StreamingNode>& node : nodes) {
        receivedBefore.push_back(value(node->counters().datagramsReceived));
    }
    std::vector<std::set<std::int64_t>> shown(nodes.size());
    std::vector<std::set<std::int64_t>> newestAtEvaluation(nodes.size());
    std::vector<NodeFigures> figures(nodes.size());

    std::atomic<bool> sending{true};
    std::thread sender = sendPerformers(ports, seconds, logs, sending);
    const auto observe = [&] {
        std::vector<std::int64_t> newest;
        for (const std::unique_ptr<StreamingNode>& node : nodes) {
            newest.push_back(node->newestApplied());
        }
        for (const std::size_t i : evaluate(nodes)) {
            const std::int64_t frame = nodes[i]->shown();
            ++figures[i].evaluations;
            shown[i].insert(frame);
            if (newest[i] > 0) {
                newestAtEvaluation[i].insert(newest[i]);
            }
            figures[i].behind += frame < newest[i] ? 1 : 0;
        }
    };
    while (sending.load()) {
        observe();
    }
    sender.join();
    const auto settle = Clock::now() + milliseconds(300);
    while (Clock::now() < settle) {
        observe();
    }

    NodeFigures total;
    NodeFigures worst;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        NodeFigures& f = figures[i];
        const StreamCounters& c = nodes[i]->counters();
        f.sent = logs[i]->sentCount();
        f.received = value(c.datagramsReceived) - receivedBefore[i];
        f.applied = value(c.framesApplied);
        f.pushed = value(c.blocksPushed);
        f.superseded = value(c.blocksSuperseded);
        f.passesWithoutBuffer = value(c.passesWithoutBuffer);
        for (const std::int64_t frame : newestAtEvaluation[i]) {
            f.lost += shown[i].count(frame) == 0 ? 1 : 0;
        }
        total.sent += f.sent;
        total.received += f.received;
        total.pushed += f.pushed;
        total.superseded += f.superseded;
        total.passesWithoutBuffer += f.passesWithoutBuffer;
        total.evaluations += f.evaluations;
        total.behind += f.behind;
        total.lost += f.lost;
        worst.sent =
            std::max<std::int64_t>(worst.sent, f.sent - static_cast<std::int64_t>(f.received));
        worst.superseded = std::max(worst.superseded, f.superseded);
        worst.behind = std::max(worst.behind, f.behind);
        worst.lost = std::max(worst.lost, f.lost);
    }
    nodes.clear();

    // The raw baseline: a receiver per performer, the same streams, right after.
    std::vector<std::unique_ptr<RawReceiver>> raws;
    std::vector<int> rawPorts;
    std::vector<std::unique_ptr<SendLog>> rawLogs;
    for (int i = 0; i < count; ++i) {
        raws.push_back(std::make_unique<RawReceiver>(LoopbackSender::freePort()));
        rawPorts.push_back(raws.back()->port());
        rawLogs.push_back(std::make_unique<SendLog>(seconds * 60 + 1));
    }
    std::atomic<bool> rawSending{true};
    std::thread rawSender = sendPerformers(rawPorts, seconds, rawLogs, rawSending);
    rawSender.join();
    std::this_thread::sleep_for(milliseconds(100));
    std::int64_t rawLost = 0;
    std::int64_t rawWorst = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t lost = rawLogs[static_cast<std::size_t>(i)]->sentCount() -
                                  raws[static_cast<std::size_t>(i)]->received();
        rawLost += lost;
        rawWorst = std::max(rawWorst, lost);
    }

    std::printf(
        "%2d performers at 60 fps for %d s: %lld sent; per node lost %lld in all (worst node "
        "%lld); blocks %llu, superseded %llu (worst node %llu), passes without a buffer %llu\n",
        count, seconds, static_cast<long long>(total.sent),
        static_cast<long long>(total.sent - static_cast<std::int64_t>(total.received)),
        static_cast<long long>(worst.sent), static_cast<unsigned long long>(total.pushed),
        static_cast<unsigned long long>(total.superseded),
        static_cast<unsigned long long>(worst.superseded),
        static_cast<unsigned long long>(total.passesWithoutBuffer));
    std::printf(
        "    evaluations %ld, showing an older frame than the newest applied %ld (worst node "
        "%ld); frames newest at an evaluation and never shown: %zu (worst node %zu, goal 0)\n",
        total.evaluations, total.behind, worst.behind, total.lost, worst.lost);
    std::printf("    raw receivers, same streams right after: lost %lld in all (worst node %lld)\n",
                static_cast<long long>(rawLost), static_cast<long long>(rawWorst));
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 5;
    if (!BenchHost::setUp(TULVEX_BENCH_PLUGIN_DIR)) {
        return 1;
    }
    std::fflush(stdout);
    for (const int multiplier : {2, 10, 100}) {
        benchOverRate(multiplier, seconds);
    }
    benchBurst();
    for (const int performers : {1, 8, 16, 32, 64}) {
        benchPerformers(performers, seconds);
    }
    BenchHost::tearDown();
    return 0;
}
