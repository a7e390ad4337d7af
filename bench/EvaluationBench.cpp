// Figures of the node's evaluation in the stand-in host: compute per evaluation (beside the
// address listing a not-live evaluation no longer does each time), the longest single
// evaluation while a 60-minute take is recorded at 60 per second, and the bake of a 10-minute
// take (36,000 samples per bone, 5.8 million keys) with its peak memory.
// Usage: tulvex_evaluation_bench [take minutes, default 60]
#include <ifaddrs.h>
#include <maya/MAnimControl.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchHost.h"
#include "LocalAddressList.h"
#include "TulvexDeviceNode.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kUiUnitsPerSample = 24.0 / 60.0;  // film time, 60 samples a second

long peakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Bench {
    MObject node;
    TulvexDeviceNode* device = nullptr;
    double time = 0.0;
    bool live = false;

    Bench() {
        node = mayahost::createNode("TulvexDeviceNode");
        device = dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(node));
        // No panel listens here.
        MGlobal::executeCommand(
            "global proc displayAvailableIPs(string $list, int $id) {}"
            "global proc updateLiveCheckbox(int $id, int $live) {}");
    }
    ~Bench() {
        MAnimControl::stop();
        mayahost::deleteNode(node);
        mayahost::takeIdleCommands();
    }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Live on a free port, as a streaming node is; blocks are then pushed by pushBlock.
    void goLive() {
        MPlug(node, TulvexDeviceNode::mInputPort).setInt(0);  // any free port
        mayahost::setLive(node, true);
        BenchHost::openSocketQuietly(*device);
        live = true;
    }
    // What the capture thread does for one datagram: a copy of the records into the pool,
    // then the take's next blocks made ready.
    void pushBlock() {
        MCharBuffer block;
        if (device->acquireDataStorage(block) != MStatus::kSuccess) {
            return;
        }
        device->copySkeletonChannels(reinterpret_cast<SkeletonNodeInfo*>(block.ptr()));
        device->pushThreadData(block);
        device->makeTakeBlocksAhead();
    }

    // One evaluation: the time moves on and the refresh attribute is asked for, by a direct
    // pull on this thread, or `scheduled` by the Evaluation Manager on a worker (this thread
    // waits for it, as Maya's main thread does).
    double evaluateMicroseconds(bool scheduled = false) {
        if (live) {
            pushBlock();
        }
        time += kUiUnitsPerSample;
        MPlug(node, TulvexDeviceNode::mTime).setDouble(time);
        const auto start = Clock::now();
        if (scheduled) {
            mayahost::pullDirtyOutputs(node);
        } else {
            mayahost::plugValues(MPlug(node, TulvexDeviceNode::mOutputTranslate));
        }
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }
    void drainIdleQueue() { mayahost::takeIdleCommands(); }
};

// What a not-live evaluation used to pay every time: the system's interfaces listed and
// turned into the panel's text.
double addressListingMicroseconds() {
    constexpr int kListings = 2000;
    std::size_t length = 0;
    const auto start = Clock::now();
    for (int i = 0; i < kListings; ++i) {
        ifaddrs* interfaces = nullptr;
        if (getifaddrs(&interfaces) == 0) {
            length += LocalAddressList::build("Your local IPs:", interfaces).size();
            freeifaddrs(interfaces);
        }
    }
    const double total = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    return length == 0 ? 0.0 : total / kListings;
}

// Per evaluation, in microseconds: the evaluation itself, timed on the thread that ran it,
// and what the asking thread waited, which for a schedule adds the hand-over to a worker
// and back.
struct PerEvaluation {
    double evaluation = 0.0;
    double waited = 0.0;
};

PerEvaluation averageMicroseconds(Bench& bench, bool scheduled) {
    constexpr int kEvaluations = 20000;
    double total = 0.0;
    const mayahost::ScheduleTimes before = mayahost::scheduleTimes();
    for (int i = 0; i < kEvaluations; ++i) {
        total += bench.evaluateMicroseconds(scheduled);
        if (i % 1000 == 0) {
            bench.drainIdleQueue();
        }
    }
    const mayahost::ScheduleTimes after = mayahost::scheduleTimes();
    PerEvaluation figures;
    figures.waited = total / kEvaluations;
    figures.evaluation =
        scheduled ? (after.workSeconds - before.workSeconds) * 1e6 / kEvaluations : figures.waited;
    return figures;
}

// Each figure twice: pulled on this thread, and scheduled on a worker of the parallel
// Evaluation Manager; for the latter also what the main thread waited, hand-over included.
void printFigures(const char* what, Bench& bench) {
    const PerEvaluation pulled = averageMicroseconds(bench, false);
    // The same scheduled request in DG mode, where it runs on this thread: the worker's
    // figure less this one is what running on another thread costs.
    mayahost::setEvaluationMode(mayahost::EvaluationMode::Off);
    const PerEvaluation here = averageMicroseconds(bench, true);
    mayahost::setEvaluationMode(mayahost::EvaluationMode::Parallel);
    const PerEvaluation scheduled = averageMicroseconds(bench, true);
    std::printf(
        "compute per evaluation, %s: direct pull %.2f us; scheduled: on this thread (DG) "
        "%.2f us, on a worker %.2f us (goal <= 15); main thread waited %.2f us for the "
        "worker\n",
        what, pulled.evaluation, here.evaluation, scheduled.evaluation, scheduled.waited);
}

void benchComputePerEvaluation() {
    Bench bench;
    printFigures("not live", bench);
    std::printf(
        "  listing the local addresses once:     %.2f us (each not-live evaluation did it "
        "before; now at most once a second)\n",
        addressListingMicroseconds());

    bench.goLive();
    printFigures("live", bench);

    MPlug(bench.node, TulvexDeviceNode::mInputRecording).setBool(true);
    MAnimControl::playForward();
    printFigures("live recording", bench);
}

void benchLongTake(int minutes) {
    const int evaluations = minutes * 60 * 60;
    Bench bench;
    bench.goLive();
    MPlug(bench.node, TulvexDeviceNode::mInputRecording).setBool(true);
    MAnimControl::playForward();
    std::vector<double> durations;
    durations.reserve(static_cast<std::size_t>(evaluations));
    for (int i = 0; i < evaluations; ++i) {
        durations.push_back(bench.evaluateMicroseconds());
        if (i % 1000 == 0) {
            bench.drainIdleQueue();
        }
    }
    const double longest = *std::max_element(durations.begin(), durations.end());
    std::sort(durations.begin(), durations.end());
    std::printf(
        "recording a %d-minute take at 60/s:     %d evaluations, median %.1f us, "
        "p99.9 %.1f us, longest %.3f ms (goal < 2 ms)\n",
        minutes, evaluations, durations[durations.size() / 2],
        durations[durations.size() * 999 / 1000], longest / 1000.0);

    // For comparison: the same appends into ordinary vectors, which copy the take to grow.
    std::vector<std::vector<TulvexDeviceNode::RecordingData>> vectors(27);
    double vectorLongest = 0.0;
    for (int i = 0; i < evaluations; ++i) {
        const auto start = Clock::now();
        for (auto& samples : vectors) {
            samples.push_back(TulvexDeviceNode::RecordingData{});
        }
        vectorLongest = std::max(
            vectorLongest, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("  same appends into std::vector:        longest %.3f ms\n", vectorLongest);
}

void benchBake() {
    constexpr int kSamples = 36000;  // 10 minutes at 60 per second
    Bench bench;
    bench.goLive();
    MPlug(bench.node, TulvexDeviceNode::mInputRecording).setBool(true);
    MAnimControl::playForward();
    for (int i = 0; i < kSamples; ++i) {
        bench.evaluateMicroseconds();
        if (i % 1000 == 0) {
            bench.drainIdleQueue();
        }
    }
    bench.drainIdleQueue();
    const long rssBefore = peakRssKilobytes();
    // Stopping with recording off hands the take over from the main thread's callbacks; the
    // bake itself runs at the next idle time.
    const auto handOverStart = Clock::now();
    MAnimControl::stop();
    MPlug(bench.node, TulvexDeviceNode::mInputRecording).setBool(false);
    const double handOverMs =
        std::chrono::duration<double, std::milli>(Clock::now() - handOverStart).count();
    const auto bakeStart = Clock::now();
    mayahost::runIdleQueue();
    const double bakeMs =
        handOverMs + std::chrono::duration<double, std::milli>(Clock::now() - bakeStart).count();
    const long rssAfter = peakRssKilobytes();
    std::printf(
        "bake of a 10-minute take:               %.0f ms for %d samples per bone "
        "(%.2f million keys), peak memory +%.1f MiB (process peak %.1f MiB)\n",
        bakeMs, kSamples, 162.0 * kSamples / 1e6,
        static_cast<double>(rssAfter - rssBefore) / 1024.0, static_cast<double>(rssAfter) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int takeMinutes = argc > 1 ? std::atoi(argv[1]) : 60;
    if (!BenchHost::setUp(TULVEX_BENCH_PLUGIN_DIR)) {
        return 1;
    }
    benchBake();  // first, so the peak memory figure is the bake's own
    benchComputePerEvaluation();
    benchLongTake(takeMinutes);
    BenchHost::tearDown();
    return 0;
}
