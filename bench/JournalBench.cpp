// What journaling costs, two ways. First 32 nodes streaming at 60 fps over loopback into the
// stand-in host, once with journaling off (not playing) and once recording a take with it on:
// the capture threads' CPU per datagram both ways, and every thread's read and write system
// calls, which show that only the journal's writer threads write files. Then the journal's
// calls alone, made on one thread for 32 performers (a datagram noted, a block tagged, a
// sample noted): their CPU per datagram, the writers' CPU, the bytes a second and what a
// 30-minute take comes to, and the rings' memory.
// Usage: tulvex_journal_bench [stream seconds of each run, default 8]
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <mayahost/HostControl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchHost.h"
#include "LoopbackSender.h"
#include "StreamingNode.h"
#include "TakeJournal.h"
#include "ThreadCpu.h"
#include "TulvexDeviceNode.h"

namespace {

constexpr int kPerformers = 32;
constexpr int kFps = 60;
constexpr int kSeconds = 5;
constexpr std::size_t kDatagramBytes = 1100;  // a 27-bone frame is about this long
constexpr std::uint32_t kBones = 27;

struct Run {
    double captureSeconds = 0.0;  // the capture thread's: datagrams noted, blocks tagged
    double takeSeconds = 0.0;     // the take thread's: samples noted
    double writerSeconds = 0.0;
    std::uintmax_t bytes = 0;
};

std::uintmax_t folderBytes(const std::filesystem::path& folder) {
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        total += entry.is_regular_file() ? entry.file_size() : 0;
    }
    return total;
}

using Clock = std::chrono::steady_clock;

// Runs with journaling off and on, alternated: this machine's load drifts.
constexpr int kPairs = 3;
// The pace a 60 fps stream gets, as the receiver bench sets it.
constexpr double kNodeFrameRate = 90.0;

// A thread's read and write system calls, and the bytes its writes moved, from /proc.
struct ThreadIo {
    int threads = 0;  // whose counts could be read
    long long reads = 0;
    long long writes = 0;
    long long bytesWritten = 0;
};

ThreadIo threadIo(const std::vector<int>& threadIds) {
    ThreadIo total;
    for (const int id : threadIds) {
        std::ifstream in("/proc/self/task/" + std::to_string(id) + "/io");
        std::string key;
        long long value = 0;
        total.threads += in ? 1 : 0;
        while (in >> key >> value) {
            total.reads += key == "syscr:" ? value : 0;
            total.writes += key == "syscw:" ? value : 0;
            total.bytesWritten += key == "wchar:" ? value : 0;
        }
    }
    return total;
}

ThreadIo operator-(const ThreadIo& after, const ThreadIo& before) {
    return {std::min(after.threads, before.threads), after.reads - before.reads,
            after.writes - before.writes, after.bytesWritten - before.bytesWritten};
}

std::string threadName(int threadId) {
    std::ifstream in("/proc/self/task/" + std::to_string(threadId) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

struct StreamRun {
    long long datagrams = 0;
    std::size_t captureThreads = 0;
    std::size_t writerThreads = 0;
    double captureSeconds = 0.0;
    double writerSeconds = 0.0;
    ThreadIo capture;  // over the stream
    ThreadIo main;
    ThreadIo writers;  // over the stream and the end of the take
    std::uintmax_t journalBytes = 0;
};

// 32 nodes streaming at 60 fps for `seconds` and recording a take, journaled in the project
// folder when one is given. The main thread plays Maya's as tulvex-host does: playback,
// refreshes, an evaluation of every node.
StreamRun streamNodes(int seconds, const std::filesystem::path& project) {
    const bool journaling = !project.empty();
    if (journaling) {
        std::filesystem::create_directories(project);
        MGlobal::executeCommand(
            MString(("workspace -openWorkspace \"" + project.string() + "\"").c_str()));
    }
    // Both ways the nodes record a take. A node made while playback runs never sees it start,
    // so its journal is never armed.
    mayahost::PlaybackOptions playback = mayahost::playbackOptions();
    playback.minTime = 1.0;
    playback.maxTime = 1.0 + (seconds + 4.0) * 24.0;
    playback.loop = mayahost::PlaybackLoop::Once;
    mayahost::setPlaybackOptions(playback);
    mayahost::setSceneTime(1.0);
    if (!journaling) {
        mayahost::startPlayback();
    }
    const std::vector<int> before = ThreadCpu::threadIds();
    std::vector<std::unique_ptr<StreamingNode>> nodes;
    std::vector<MObject> objects;
    for (int p = 0; p < kPerformers; ++p) {
        nodes.push_back(
            std::make_unique<StreamingNode>(LoopbackSender::freePort(), kNodeFrameRate));
        objects.push_back(nodes.back()->node());
    }
    std::vector<int> capture;
    std::vector<int> writers;
    for (const int id : ThreadCpu::newThreads(before, ThreadCpu::threadIds())) {
        (threadName(id) == TakeJournal::kWriterThreadName ? writers : capture).push_back(id);
    }
    for (const auto& node : nodes) {
        MPlug(node->node(), TulvexDeviceNode::mInputRecording).setBool(true);
    }
    if (journaling) {
        mayahost::startPlayback();  // which arms each node's journal
    }
    const auto received = [&nodes] {
        long long total = 0;
        for (const auto& node : nodes) {
            total += static_cast<long long>(node->counters().datagramsReceived.load());
        }
        return total;
    };
    const std::vector<int> self{static_cast<int>(gettid())};
    StreamRun run;
    run.captureThreads = capture.size();
    run.writerThreads = writers.size();
    const long long receivedBefore = received();
    const double captureBefore = ThreadCpu::seconds(capture);
    const double writersBefore = ThreadCpu::seconds(writers);
    const ThreadIo captureIoBefore = threadIo(capture);
    const ThreadIo writersIoBefore = threadIo(writers);
    const ThreadIo mainIoBefore = threadIo(self);

    std::atomic<bool> sending{true};
    std::thread sender([&] {
        LoopbackSender out;
        auto next = Clock::now();
        for (int i = 1; i <= seconds * kFps; ++i) {
            const std::vector<std::byte> packet = StreamingNode::frame(i);
            for (const auto& node : nodes) {
                out.send(node->port(), packet);
            }
            next += std::chrono::microseconds(1000000 / kFps);
            std::this_thread::sleep_until(next);
        }
        sending.store(false);
    });
    auto last = Clock::now();
    while (sending.load()) {
        const auto now = Clock::now();
        mayahost::stepPlayback(now - last);  // nothing while stopped
        last = now;
        mayahost::waitForRefresh(std::chrono::milliseconds(5));
        mayahost::processRefreshes();
        mayahost::pullDirtyOutputs(objects);
        mayahost::runIdleQueue();
    }
    run.main = threadIo(self) - mainIoBefore;
    sender.join();
    run.datagrams = received() - receivedBefore;
    run.captureSeconds = ThreadCpu::seconds(capture) - captureBefore;
    run.capture = threadIo(capture) - captureIoBefore;
    mayahost::stopPlayback();
    for (const auto& node : nodes) {
        MPlug(node->node(), TulvexDeviceNode::mInputRecording).setBool(false);
    }
    for (int round = 0; round < 10 && mayahost::runIdleQueue() > 0; ++round) {
    }
    // The writers close the take within a cycle.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    run.writerSeconds = ThreadCpu::seconds(writers) - writersBefore;
    run.writers = threadIo(writers) - writersIoBefore;
    nodes.clear();
    mayahost::runIdleQueue();
    run.journalBytes = journaling ? folderBytes(project) : 0;
    return run;
}

double capturePerDatagram(const StreamRun& run) {
    return run.captureSeconds / static_cast<double>(std::max(run.datagrams, 1LL)) * 1e6;
}

void printStreamRuns(int seconds, const std::vector<StreamRun>& off,
                     const std::vector<StreamRun>& on) {
    std::printf(
        "%d nodes streaming at %d fps and recording for %d s over loopback (%zu capture "
        "threads, %zu journal writers), in pairs of runs:\n",
        kPerformers, kFps, seconds, on[0].captureThreads, on[0].writerThreads);
    std::vector<double> ratios;
    for (std::size_t r = 0; r < off.size(); ++r) {
        ratios.push_back(capturePerDatagram(on[r]) / capturePerDatagram(off[r]));
        std::printf(
            "  capture threads' CPU per datagram: journaling off %.2f us, on %.2f us "
            "(%.3f x)\n",
            capturePerDatagram(off[r]), capturePerDatagram(on[r]), ratios.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("  median: %.3f x (goal <= 1.1)\n", ratios[ratios.size() / 2]);
    const auto io = [](const char* who, const ThreadIo& without, const ThreadIo& with) {
        std::printf(
            "  %-16s (%2d / %2d threads) reads %5lld / %5lld, writes %5lld / %5lld, "
            "bytes written %9lld / %9lld\n",
            who, without.threads, with.threads, without.reads, with.reads, without.writes,
            with.writes, without.bytesWritten, with.bytesWritten);
    };
    // The main thread's two reads are this bench's own, of its counts in /proc.
    std::printf(
        "  read and write system calls during the last pair's stream, journaling off / "
        "on:\n");
    io("capture threads", off.back().capture, on.back().capture);
    io("main thread", off.back().main, on.back().main);
    io("journal writers", off.back().writers, on.back().writers);
    const StreamRun& last = on.back();
    std::printf(
        "  journal writers: %.3f s CPU, %.2f%% of one core; the take's journals %.1f MB, "
        "%.0f MB for a 30-minute take of one performer\n",
        last.writerSeconds, last.writerSeconds / seconds * 100.0,
        static_cast<double>(last.journalBytes) / 1e6,
        static_cast<double>(last.journalBytes) / seconds / kPerformers * 1800.0 / 1e6);
}

// Each frame, a capture thread notes every performer's datagram and tags its block; a take
// thread, woken after it, notes the sample that showed it.
Run run(bool journaling, const std::filesystem::path& folder) {
    const std::vector<int> before = ThreadCpu::threadIds();
    std::vector<std::unique_ptr<TakeJournal>> journals;
    TakeSidecar description;
    description.node = "node";
    description.bones.assign(kBones, "bone");
    for (int p = 0; p < kPerformers; ++p) {
        journals.push_back(std::make_unique<TakeJournal>(TakeJournal::Options{}, nullptr));
        if (journaling) {
            description.node = "performer" + std::to_string(p);
            journals.back()->prepare(folder.string(), description);
        }
    }
    const std::vector<int> writers = ThreadCpu::newThreads(before, ThreadCpu::threadIds());
    const double writersBefore = ThreadCpu::seconds(writers);

    std::vector<int> blocks(kPerformers);
    std::atomic<int> captured{0};
    Run result;
    const auto paced = [&](bool capture) {
        const int self = static_cast<int>(gettid());
        const double cpuBefore = ThreadCpu::seconds(self);
        std::vector<std::byte> datagram(kDatagramBytes, std::byte{0x5a});
        std::vector<SampleMapFormat::Bone> bones(kBones);
        auto next = std::chrono::steady_clock::now();
        for (int frame = 0; frame < kFps * kSeconds; ++frame) {
            next += std::chrono::microseconds(1000000 / kFps);
            std::this_thread::sleep_until(next + std::chrono::milliseconds(capture ? 0 : 4));
            const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
            for (int p = 0; p < kPerformers; ++p) {
                TakeJournal& journal = *journals[static_cast<std::size_t>(p)];
                const int* block = &blocks[static_cast<std::size_t>(p)];
                if (capture) {
                    journal.noteDatagram(datagram.data(), datagram.size(), now, 0x7f000001, 40000);
                    journal.tagBlock(block);
                } else if (captured.load(std::memory_order_acquire) > frame) {
                    journal.noteSample(frame, journal.blockSerial(block), bones.data(), kBones);
                }
            }
            if (capture) {
                captured.store(frame + 1, std::memory_order_release);
            }
        }
        (capture ? result.captureSeconds : result.takeSeconds) =
            ThreadCpu::seconds(self) - cpuBefore;
    };
    std::thread capture(paced, true);
    std::thread take(paced, false);
    capture.join();
    take.join();
    for (const auto& journal : journals) {
        journal->endTake();
        journal->flush();
    }
    result.writerSeconds = ThreadCpu::seconds(writers) - writersBefore;
    journals.clear();
    result.bytes = journaling ? folderBytes(folder) : 0;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int streamSeconds = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 8;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tulvex-journal-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    if (!BenchHost::setUp(TULVEX_BENCH_PLUGIN_DIR)) {
        return 1;
    }
    // The panel's procedures the node calls; the bench loads no scripts.
    MGlobal::executeCommand("global proc tulvexTakeBaked(int $deviceId) {}");
    MGlobal::executeCommand("global proc displayMessage(string $message, int $deviceId) {}");
    MGlobal::executeCommand("global proc enableBindButton(int $deviceId, int $enable) {}");
    std::fflush(stdout);
    std::vector<StreamRun> streamOff;
    std::vector<StreamRun> streamOn;
    for (int pair = 0; pair < kPairs; ++pair) {
        // Each way first in turn, so a drift of the machine's load favours neither.
        if (pair % 2 == 0) {
            streamOff.push_back(streamNodes(streamSeconds, std::filesystem::path()));
        }
        streamOn.push_back(streamNodes(streamSeconds, folder / ("project" + std::to_string(pair))));
        if (pair % 2 != 0) {
            streamOff.push_back(streamNodes(streamSeconds, std::filesystem::path()));
        }
    }
    printStreamRuns(streamSeconds, streamOff, streamOn);
    BenchHost::tearDown();
    for (int pair = 0; pair < kPairs; ++pair) {
        std::filesystem::remove_all(folder / ("project" + std::to_string(pair)));
    }

    const Run off = run(false, folder);
    const Run on = run(true, folder);
    const double datagrams = static_cast<double>(kPerformers) * kFps * kSeconds;
    std::printf(
        "the journal's calls alone, %d performers at %d fps for %d s, %zu-byte datagrams "
        "(off: the same loop without them, so on less off is what they cost):\n",
        kPerformers, kFps, kSeconds, kDatagramBytes);
    std::printf("  capture thread per datagram: journaling off %.2f us, on %.2f us\n",
                off.captureSeconds / datagrams * 1e6, on.captureSeconds / datagrams * 1e6);
    std::printf("  take thread per sample: journaling off %.2f us, on %.2f us\n",
                off.takeSeconds / datagrams * 1e6, on.takeSeconds / datagrams * 1e6);
    std::printf("  writer threads: %.3f s CPU for %d s of streaming (%.2f%% of one core)\n",
                on.writerSeconds, kSeconds, on.writerSeconds / kSeconds * 100.0);
    const double bytesPerSecond = static_cast<double>(on.bytes) / kSeconds / kPerformers;
    std::printf("  journal per performer: %.0f KB/s, %.0f MB for a 30-minute take\n",
                bytesPerSecond / 1e3, bytesPerSecond * 1800.0 / 1e6);
    std::printf(
        "  ring memory per node: %zu KiB\n",
        (TakeJournal::Options{}.datagramRingBytes + TakeJournal::Options{}.sampleRingBytes) / 1024);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  peak resident set of the bench: %ld MB\n", usage.ru_maxrss / 1024);
    std::filesystem::remove_all(folder);
    return 0;
}
