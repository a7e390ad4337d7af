// Figures of the capture thread, each next to the same machine's raw loopback in the same
// run: idle CPU, stop latency, datagram-to-block latency, and a long 60 fps stream with no
// datagram lost. Usage: tulvex_receiver_bench [stream seconds, default 60]
#include <arpa/inet.h>
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BenchHost.h"
#include "TulvexDeviceNode.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;
using std::chrono::milliseconds;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU used by everything but the sleeping main thread over `seconds`, in % of one core.
double cpuPercentWhileSleeping(double seconds) {
    const double before = processCpuSeconds();
    std::this_thread::sleep_for(duration<double>(seconds));
    return (processCpuSeconds() - before) / seconds * 100.0;
}

int boundSocket(int port) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        std::perror("bind");
        std::exit(1);
    }
    return fd;
}

int freePort() {
    const int fd = boundSocket(0);
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class Sender {
public:
    Sender() : mFd(socket(AF_INET, SOCK_DGRAM, 0)) {}
    ~Sender() { close(mFd); }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;
    void send(int port, const std::vector<std::byte>& datagram) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sendto(mFd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof(to));
    }

private:
    int mFd;
};

// The raw baseline: a thread blocked in poll() on a socket and a wake-up pipe, as ours is.
class RawReceiver {
public:
    explicit RawReceiver(int port) : mSocket(boundSocket(port)) {
        if (pipe(mPipe) != 0) {
            std::exit(1);
        }
        mThread = std::thread([this] { run(); });
    }
    ~RawReceiver() {
        if (mThread.joinable()) {
            stop();
        }
        close(mSocket);
        close(mPipe[0]);
        close(mPipe[1]);
    }
    RawReceiver(const RawReceiver&) = delete;
    RawReceiver& operator=(const RawReceiver&) = delete;

    void stop() {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(mPipe[1], &byte, 1);
        mThread.join();
    }
    // Waits until more than `count` datagrams were received; the main thread sleeps on it
    // as it does on a refresh, so both figures include one thread wake-up.
    void waitBeyond(long count) {
        std::unique_lock<std::mutex> lock(mMutex);
        mArrived.wait(lock, [&] { return received.load() > count; });
    }
    std::atomic<long> received{0};

private:
    void run() {
        char buffer[4096];
        for (;;) {
            pollfd fds[2] = {{mPipe[0], POLLIN, 0}, {mSocket, POLLIN, 0}};
            poll(fds, 2, -1);
            if ((fds[0].revents & POLLIN) != 0) {
                return;
            }
            if (recv(mSocket, buffer, sizeof(buffer), MSG_DONTWAIT) >= 0) {
                {
                    std::lock_guard<std::mutex> lock(mMutex);
                    received.fetch_add(1);
                }
                mArrived.notify_all();
            }
        }
    }
    int mSocket;
    int mPipe[2] = {-1, -1};
    std::mutex mMutex;
    std::condition_variable mArrived;
    std::thread mThread;
};

struct Percentiles {
    double median;
    double p99;
};

Percentiles percentiles(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))];
    };
    return {at(0.5), at(0.99)};
}

std::vector<std::byte> framePacket(int number) {
    zmf::FramePacket frame;
    frame.frameNumber = number;
    frame.timestamp = number / 60.0;
    for (int bone = 0; bone < 27; ++bone) {
        frame.boneIds.push_back(bone);
        frame.bones.push_back({{0.0F, 0.0F, 0.0F, 1.0F}, {0.01F * number, 1.0F, 0.0F}});
    }
    return zmf::encode(frame);
}

TulvexDeviceNode* deviceOf(const MObject& node) {
    return dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(node));
}

MObject createLiveNode(int port) {
    MObject node = mayahost::createNode("TulvexDeviceNode");
    MPlug(node, TulvexDeviceNode::mInputPort).setInt(port);
    mayahost::setLive(node, true);
    deviceOf(node)->openStreamSocket();
    return node;
}

void drainBlocks(TulvexDeviceNode* device, long& count) {
    MCharBuffer block;
    while (device->popThreadData(block) == MStatus::kSuccess) {
        device->releaseDataStorage(block);
        ++count;
    }
}

void benchIdleCpu() {
    const double baseline = cpuPercentWhileSleeping(2.0);
    MObject node = mayahost::createNode("TulvexDeviceNode");
    const double notLive = cpuPercentWhileSleeping(3.0);
    mayahost::deleteNode(node);
    node = createLiveNode(freePort());
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
        MObject node = createLiveNode(freePort());
        std::this_thread::sleep_for(milliseconds(20));  // let it block
        const auto start = Clock::now();
        mayahost::deleteNode(node);
        ours.push_back(duration<double, std::milli>(Clock::now() - start).count());

        RawReceiver receiver(freePort());
        std::this_thread::sleep_for(milliseconds(20));
        const auto rawStart = Clock::now();
        receiver.stop();
        raw.push_back(duration<double, std::milli>(Clock::now() - rawStart).count());
    }
    const Percentiles p = percentiles(ours);
    const Percentiles r = percentiles(raw);
    std::printf("stop of a blocked capture thread:      median %.3f ms, max %.3f ms (goal <= 10)\n",
                p.median, *std::max_element(ours.begin(), ours.end()));
    std::printf("  raw poll()+pipe thread, same run:    median %.3f ms, p99 %.3f ms\n", r.median,
                r.p99);
}

void benchLatency() {
    constexpr int kSamples = 300;
    const int port = freePort();
    MObject node = createLiveNode(port);
    TulvexDeviceNode* device = deviceOf(node);
    Sender sender;
    std::vector<double> ours;
    long blocks = 0;
    for (int i = 0; i < kSamples; ++i) {
        const std::vector<std::byte> packet = framePacket(i);
        mayahost::processRefreshes();  // forget earlier refresh requests
        const auto start = Clock::now();
        sender.send(port, packet);
        // The capture thread asks for a refresh right after it pushed the block.
        while (device->threadDataCount() == 0) {
            mayahost::waitForRefresh(milliseconds(100));
        }
        ours.push_back(duration<double, std::micro>(Clock::now() - start).count());
        drainBlocks(device, blocks);
        std::this_thread::sleep_for(milliseconds(15));  // past the frameRate throttle
    }
    mayahost::deleteNode(node);

    const int rawPort = freePort();
    RawReceiver receiver(rawPort);
    std::vector<double> raw;
    for (int i = 0; i < kSamples; ++i) {
        const long before = receiver.received.load();
        const std::vector<std::byte> packet = framePacket(i);
        const auto start = Clock::now();
        sender.send(rawPort, packet);
        receiver.waitBeyond(before);
        raw.push_back(duration<double, std::micro>(Clock::now() - start).count());
        std::this_thread::sleep_for(milliseconds(2));
    }
    const Percentiles p = percentiles(ours);
    const Percentiles r = percentiles(raw);
    std::printf(
        "datagram sent to block pushed:         median %.1f us, p99 %.1f us "
        "(goal median <= 100, p99 <= 1000)\n",
        p.median, p.p99);
    std::printf("  raw datagram sent to received:       median %.1f us, p99 %.1f us\n", r.median,
                r.p99);
}

void benchStream(int seconds) {
    const int port = freePort();
    MObject node = createLiveNode(port);
    TulvexDeviceNode* device = deviceOf(node);
    const int frames = seconds * 60;
    std::atomic<bool> sending{true};
    std::thread sender([&] {
        Sender out;
        auto next = Clock::now();
        for (int i = 0; i < frames; ++i) {
            out.send(port, framePacket(i));
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
        sending.store(false);
    });
    long blocks = 0;
    while (sending.load()) {
        mayahost::waitForRefresh(milliseconds(50));
        drainBlocks(device, blocks);
    }
    sender.join();
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (blocks < frames && Clock::now() < deadline) {
        mayahost::waitForRefresh(milliseconds(50));
        drainBlocks(device, blocks);
    }
    mayahost::deleteNode(node);
    std::printf("60 fps for %d s into one node:         %d sent, %ld blocks pushed, %ld lost\n",
                seconds, frames, blocks, frames - blocks);
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
    benchStream(streamSeconds);
    BenchHost::tearDown();
    return 0;
}
