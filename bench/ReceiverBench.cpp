// Figures of the capture thread, each beside a raw loopback receiver in the same run: idle
// CPU, stop latency, datagram-to-block latency after equal idle gaps, and a 60 fps stream sent
// to a node and to a raw receiver at once, with the capture thread's CPU per datagram at the
// host's pace and without it. The consumer sleeps until a refresh; nothing spins.
// Usage: tulvex_receiver_bench [stream seconds, default 60]
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BenchHost.h"
#include "LoopbackSender.h"
#include "Percentiles.h"
#include "RawReceiver.h"
#include "StreamingNode.h"
#include "TulvexDeviceNode.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;
using std::chrono::milliseconds;

// The pace a 60 fps stream gets (frameRate 90), and one so high that endThreadLoop never
// waits: the host's pacing taken out.
constexpr double kStreamFrameRate = 90.0;
constexpr double kNoPacing = 1e6;

double seconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return seconds(usage);
}

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return seconds(usage);
}

// CPU used by everything but the sleeping main thread over `seconds`, in % of one core.
double cpuPercentWhileSleeping(double secondsToSleep) {
    const double before = processCpuSeconds();
    std::this_thread::sleep_for(duration<double>(secondsToSleep));
    return (processCpuSeconds() - before) / secondsToSleep * 100.0;
}

TulvexDeviceNode* deviceOf(const MObject& node) {
    return dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(node));
}

MObject createLiveNode(int port) {
    MObject node = mayahost::createNode("TulvexDeviceNode");
    MPlug(node, TulvexDeviceNode::mInputPort).setInt(port);
    mayahost::setLive(node, true);
    BenchHost::openSocketQuietly(*deviceOf(node));
    return node;
}

void drainBlocks(TulvexDeviceNode* device) {
    MCharBuffer block;
    while (device->popThreadData(block) == MStatus::kSuccess) {
        device->releaseDataStorage(block);
    }
}

void benchIdleCpu() {
    const double baseline = cpuPercentWhileSleeping(2.0);
    MObject node = mayahost::createNode("TulvexDeviceNode");
    const double notLive = cpuPercentWhileSleeping(3.0);
    mayahost::deleteNode(node);
    node = createLiveNode(LoopbackSender::freePort());
    const double liveSilent = cpuPercentWhileSleeping(3.0);
    mayahost::deleteNode(node);
    std::printf("capture thread CPU, not live:          %.3f %% of a core (goal <= 0.5)\n",
                notLive - baseline);
    std::printf("capture thread CPU, live without data: %.3f %% of a core (goal <= 0.5)\n",
                liveSilent - baseline);
    std::printf("  process baseline with no node:       %.3f %%\n", baseline);
}

void benchStopLatency() {
    constexpr int kRounds = 50;
    std::vector<double> ours;
    std::vector<double> raw;
    for (int i = 0; i < kRounds; ++i) {
        MObject node = createLiveNode(LoopbackSender::freePort());
        std::this_thread::sleep_for(milliseconds(20));  // let it block
        const auto start = Clock::now();
        mayahost::deleteNode(node);
        ours.push_back(duration<double, std::milli>(Clock::now() - start).count());

        RawReceiver receiver(LoopbackSender::freePort());
        std::this_thread::sleep_for(milliseconds(20));
        const auto rawStart = Clock::now();
        receiver.stop();
        raw.push_back(duration<double, std::milli>(Clock::now() - rawStart).count());
    }
    const Percentiles p = Percentiles::of(ours);
    const Percentiles r = Percentiles::of(raw);
    std::printf("stop of a blocked capture thread:      median %.3f ms, max %.3f ms (goal <= 10)\n",
                p.median, p.max);
    std::printf("  raw poll()+pipe thread, same run:    median %.3f ms, max %.3f ms\n", r.median,
                r.max);
}

// The same idle gap before every datagram, for ours and for the raw receiver, longer than a
// loop period so that each datagram finds its reader blocked, not pacing.
void benchLatency() {
    constexpr int kSamples = 300;
    constexpr milliseconds kIdleGap(15);
    const int port = LoopbackSender::freePort();
    MObject node = createLiveNode(port);
    TulvexDeviceNode* device = deviceOf(node);
    LoopbackSender sender;
    std::vector<double> ours;
    for (int i = 0; i < kSamples; ++i) {
        const std::vector<std::byte> packet = StreamingNode::frame(i + 1);
        std::this_thread::sleep_for(kIdleGap);
        mayahost::processRefreshes();  // forget earlier refresh requests
        const auto start = Clock::now();
        sender.send(port, packet);
        // The capture thread asks for a refresh right after it pushed the block.
        while (device->threadDataCount() == 0) {
            mayahost::waitForRefresh(milliseconds(100));
        }
        ours.push_back(duration<double, std::micro>(Clock::now() - start).count());
        drainBlocks(device);
    }
    mayahost::deleteNode(node);

    std::vector<double> raw;
    RawReceiver rawReceiver(LoopbackSender::freePort());
    for (int i = 0; i < kSamples; ++i) {
        const std::vector<std::byte> packet = StreamingNode::frame(i + 1);
        std::this_thread::sleep_for(kIdleGap);
        const std::int64_t before = rawReceiver.received();
        const auto start = Clock::now();
        sender.send(rawReceiver.port(), packet);
        rawReceiver.waitBeyond(before);
        raw.push_back(duration<double, std::micro>(Clock::now() - start).count());
    }
    const Percentiles p = Percentiles::of(ours);
    const Percentiles r = Percentiles::of(raw);
    std::printf(
        "datagram sent to block pushed, 15 ms idle before each: median %.1f us, p99 %.1f us "
        "(goal median <= 100, p99 <= 1000)\n",
        p.median, p.p99);
    std::printf("  raw datagram sent to received, same idle gaps:   median %.1f us, p99 %.1f us\n",
                r.median, r.p99);
}

// 60 frames a second for `seconds`, each sent to the node and to a raw receiver. The main
// thread plays Maya's: it sleeps until a refresh and evaluates the node.
void benchStream(int seconds, double frameRate, const char* label) {
    StreamingNode node(LoopbackSender::freePort(), frameRate);
    RawReceiver raw(LoopbackSender::freePort());
    const int frames = seconds * 60;
    std::atomic<bool> sending{true};
    std::atomic<double> senderCpu{0.0};
    const std::int64_t receivedBefore =
        static_cast<std::int64_t>(node.counters().datagramsReceived.load());
    const double processBefore = processCpuSeconds();
    const double mainBefore = threadCpuSeconds();
    const auto start = Clock::now();
    std::thread sender([&] {
        const double cpuBefore = threadCpuSeconds();
        LoopbackSender out;
        auto next = Clock::now();
        for (int i = 1; i <= frames; ++i) {
            const std::vector<std::byte> packet = StreamingNode::frame(i);
            out.send(node.port(), packet);
            out.send(raw.port(), packet);
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
        senderCpu.store(threadCpuSeconds() - cpuBefore);
        sending.store(false);
    });
    while (sending.load()) {
        mayahost::waitForRefresh(milliseconds(50));
        mayahost::processRefreshes();
        mayahost::takeIdleCommands();  // frameRate requests: the pace stays the one set here
    }
    sender.join();
    const auto settle = Clock::now() + milliseconds(500);
    while (Clock::now() < settle) {
        mayahost::waitForRefresh(milliseconds(50));
        mayahost::processRefreshes();
    }
    const double wall = duration<double>(Clock::now() - start).count();
    const double mainCpu = threadCpuSeconds() - mainBefore;
    raw.stop();
    const double processCpu = processCpuSeconds() - processBefore;
    const double captureCpu = processCpu - mainCpu - senderCpu.load() - raw.cpuSeconds();

    const StreamCounters& counters = node.counters();
    const auto received =
        static_cast<std::int64_t>(counters.datagramsReceived.load()) - receivedBefore;
    std::printf(
        "60 fps for %d s, %s: %d sent; node received %lld (lost %lld), applied %llu, blocks "
        "%llu, superseded %llu, evaluations %ld; raw received %lld (lost %lld)\n",
        seconds, label, frames, static_cast<long long>(received),
        static_cast<long long>(frames - received),
        static_cast<unsigned long long>(counters.framesApplied.load()),
        static_cast<unsigned long long>(counters.blocksPushed.load()),
        static_cast<unsigned long long>(counters.blocksSuperseded.load()), node.popped(),
        static_cast<long long>(raw.received()), static_cast<long long>(frames - raw.received()));
    std::printf(
        "  capture thread CPU: %.1f us per datagram, %.3f %% of a core; raw receive thread: "
        "%.1f us per datagram, %.3f %% (ratio %.2f, goal <= 1.5 without pacing)\n",
        captureCpu / static_cast<double>(std::max<std::int64_t>(received, 1)) * 1e6,
        captureCpu / wall * 100.0,
        raw.cpuSeconds() / static_cast<double>(std::max<std::int64_t>(raw.received(), 1)) * 1e6,
        raw.cpuSeconds() / wall * 100.0, captureCpu / std::max(raw.cpuSeconds(), 1e-9));
    std::printf("  main thread (consumer) CPU: %.3f %% of a core; it sleeps between refreshes\n",
                mainCpu / wall * 100.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int streamSeconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (!BenchHost::setUp(TULVEX_BENCH_PLUGIN_DIR)) {
        return 1;
    }
    std::fflush(stdout);
    benchIdleCpu();
    benchStopLatency();
    benchLatency();
    benchStream(streamSeconds, kStreamFrameRate, "frameRate 90 (the host's pace)");
    benchStream(std::max(streamSeconds / 3, 1), kNoPacing, "host pacing taken out");
    BenchHost::tearDown();
    return 0;
}
