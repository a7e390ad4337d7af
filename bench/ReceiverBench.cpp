// Figures of the capture thread, each beside a raw loopback receiver in the same run: idle
// CPU, stop latency, datagram-to-block latency after equal idle gaps, and a 60 fps stream sent
// to a node and to a raw receiver at once, with the capture thread's CPU per datagram, the
// host's share of it measured alone, and the stream again with endThreadLoop never waiting.
// The consumer sleeps until a refresh; nothing spins.
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
#include "ThreadCpu.h"
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
// thread plays Maya's: it sleeps until a refresh and evaluates the node. Each reader's CPU is
// its own thread's, from the kernel's scheduler statistics.
struct StreamFigures {
    double capturePerDatagram = 0.0;  // seconds of CPU
    double rawPerDatagram = 0.0;
};

StreamFigures benchStream(int seconds, double frameRate, const char* label) {
    const std::vector<int> beforeNode = ThreadCpu::threadIds();
    StreamingNode node(LoopbackSender::freePort(), frameRate);
    const std::vector<int> capture = ThreadCpu::newThreads(beforeNode, ThreadCpu::threadIds());
    const std::vector<int> beforeRaw = ThreadCpu::threadIds();
    RawReceiver raw(LoopbackSender::freePort());
    const std::vector<int> rawThread = ThreadCpu::newThreads(beforeRaw, ThreadCpu::threadIds());
    const int frames = seconds * 60;
    std::atomic<bool> sending{true};
    const std::int64_t receivedBefore =
        static_cast<std::int64_t>(node.counters().datagramsReceived.load());
    const double captureBefore = ThreadCpu::seconds(capture);
    const double rawBefore = ThreadCpu::seconds(rawThread);
    const double mainBefore = threadCpuSeconds();
    const auto start = Clock::now();
    std::thread sender([&] {
        LoopbackSender out;
        auto next = Clock::now();
        for (int i = 1; i <= frames; ++i) {
            const std::vector<std::byte> packet = StreamingNode::frame(i);
            out.send(node.port(), packet);
            out.send(raw.port(), packet);
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
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
    const double captureCpu = ThreadCpu::seconds(capture) - captureBefore;
    const double rawCpu = ThreadCpu::seconds(rawThread) - rawBefore;

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
        "%.1f us per datagram, %.3f %% (ratio %.2f)\n",
        captureCpu / static_cast<double>(std::max<std::int64_t>(received, 1)) * 1e6,
        captureCpu / wall * 100.0,
        rawCpu / static_cast<double>(std::max<std::int64_t>(raw.received(), 1)) * 1e6,
        rawCpu / wall * 100.0, captureCpu / std::max(rawCpu, 1e-9));
    std::printf("  main thread (consumer) CPU: %.3f %% of a core; it sleeps between refreshes\n",
                mainCpu / wall * 100.0);
    return {captureCpu / static_cast<double>(std::max<std::int64_t>(received, 1)),
            rawCpu / static_cast<double>(std::max<std::int64_t>(raw.received(), 1))};
}

// The host's share of a pass: a thread woken 60 times a second makes the calls a pass makes
// (beginThreadLoop, acquireDataStorage, pushThreadData, endThreadLoop with its refresh
// request, Maya's evaluation taking the block), less a thread that is only woken as often.
// Returns seconds of CPU per pass.
double benchHostCalls(int seconds, double frameRate) {
    StreamingNode node(LoopbackSender::freePort(), frameRate);
    TulvexDeviceNode& device = node.device();
    const int passes = seconds * 60;
    std::atomic<bool> running{true};
    std::atomic<double> callsCpu{0.0};
    std::atomic<double> wakeCpu{0.0};
    const auto paced = [&](bool calls, std::atomic<double>& cpu) {
        const double before = threadCpuSeconds();
        auto next = Clock::now();
        for (int i = 0; i < passes; ++i) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
            if (!calls) {
                continue;
            }
            device.beginThreadLoop();
            MCharBuffer block;
            if (device.acquireDataStorage(block) == MStatus::kSuccess) {
                device.pushThreadData(block);  // the block's bytes are the node's to fill
            }
            device.endThreadLoop();
        }
        cpu.store(threadCpuSeconds() - before);
    };
    std::thread caller([&] {
        paced(true, callsCpu);
        running.store(false);
    });
    std::thread sleeper([&] { paced(false, wakeCpu); });
    while (running.load()) {
        mayahost::waitForRefresh(milliseconds(50));
        mayahost::processRefreshes();
        mayahost::takeIdleCommands();
    }
    caller.join();
    sleeper.join();
    const double perPass = (callsCpu.load() - wakeCpu.load()) / passes;
    std::printf(
        "host calls of one pass, on a thread of their own at 60/s: %.1f us (%.1f us with its "
        "wake-up, %.1f us for the wake-up alone)\n",
        perPass * 1e6, callsCpu.load() / passes * 1e6, wakeCpu.load() / passes * 1e6);
    return perPass;
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
    const StreamFigures paced =
        benchStream(streamSeconds, kStreamFrameRate, "frameRate 90 (the host's pace)");
    const double host = benchHostCalls(std::max(streamSeconds / 3, 1), kStreamFrameRate);
    std::printf(
        "  capture thread less the host's calls: %.1f us per datagram, %.2f x the raw receive "
        "thread's %.1f us (goal <= 1.5)\n",
        (paced.capturePerDatagram - host) * 1e6,
        (paced.capturePerDatagram - host) / std::max(paced.rawPerDatagram, 1e-12),
        paced.rawPerDatagram * 1e6);
    benchStream(std::max(streamSeconds / 3, 1), kNoPacing, "endThreadLoop never waiting");
    BenchHost::tearDown();
    return 0;
}
