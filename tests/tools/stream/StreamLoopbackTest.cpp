#include <gtest/gtest.h>
#include <signal.h>
#include <zmf/ZmfCodec.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "LoopbackReceiver.h"
#include "Subprocess.h"

namespace {

using namespace std::chrono_literals;

// One received datagram, decoded: a definition, a frame, or neither.
struct Packet {
    char kind = '?';  // 'D', 'F'
    zmf::SkeletonDefinition definition;
    zmf::FramePacket frame;
    std::chrono::steady_clock::time_point arrival;
};

struct Stream {
    Subprocess::Result result;
    std::vector<std::vector<Packet>> ports;
    std::string kinds(int port = 0) const {
        std::string text;
        for (const Packet& p : ports.at(port)) {
            text += p.kind;
        }
        return text;
    }
    std::vector<std::int32_t> frameNumbers(int port = 0) const {
        std::vector<std::int32_t> numbers;
        for (const Packet& p : ports.at(port)) {
            if (p.kind == 'F') {
                numbers.push_back(p.frame.frameNumber);
            }
        }
        return numbers;
    }
};

// Runs the emulator against the receiver until it exits by itself.
Stream stream(LoopbackReceiver& receiver, int ports, const std::vector<std::string>& options) {
    std::vector<std::string> args{TULVEX_STREAM_EXE, "--port", std::to_string(receiver.port())};
    args.insert(args.end(), options.begin(), options.end());
    Subprocess process(args);
    const auto datagrams = receiver.collect([&process](std::size_t) { return process.running(); });
    Stream s{process.wait(), std::vector<std::vector<Packet>>(ports)};
    for (const auto& d : datagrams) {
        Packet p;
        p.arrival = d.arrival;
        const auto* bytes = reinterpret_cast<const std::byte*>(d.bytes.data());
        const auto size = static_cast<std::int32_t>(d.bytes.size());
        p.kind = zmf::decode(bytes, size, p.definition) ? 'D'
                 : zmf::decode(bytes, size, p.frame)    ? 'F'
                                                        : '?';
        s.ports.at(d.socketIndex).push_back(p);
    }
    return s;
}

TEST(StreamLoopbackTest, DefinitionFirstThenConsecutiveFramesAtTheRate) {
    LoopbackReceiver receiver;
    const Stream s = stream(receiver, 1, {"--fps", "50", "--duration", "0.5"});
    ASSERT_EQ(s.result.exitCode, 0) << s.result.err;
    ASSERT_EQ(s.kinds(), "D" + std::string(25, 'F'));
    EXPECT_EQ(s.ports[0][0].definition.bones.size(), 27U);
    EXPECT_FLOAT_EQ(s.ports[0][0].definition.bones[0].translation[1], 0.94F);
    for (std::size_t i = 2; i < s.ports[0].size(); ++i) {
        const zmf::FramePacket& previous = s.ports[0][i - 1].frame;
        const zmf::FramePacket& frame = s.ports[0][i].frame;
        EXPECT_EQ(frame.frameNumber, previous.frameNumber + 1);
        EXPECT_NEAR(frame.timestamp - previous.timestamp, 0.02, 1e-9);
        EXPECT_GT(frame.bones[0].translation[2], previous.bones[0].translation[2]);
    }
    EXPECT_EQ(s.ports[0][1].frame.timestamp, std::floor(s.ports[0][1].frame.timestamp));
    EXPECT_NE(s.result.out.find("26 datagrams sent (1 definition, 25 frames), 0 frames dropped"),
              std::string::npos)
        << s.result.out;
}

TEST(StreamLoopbackTest, LossDropsAboutTheShareAskedTheSameWayForTheSameSeed) {
    std::vector<std::int32_t> first;
    for (int run = 0; run < 2; ++run) {
        LoopbackReceiver receiver;
        const Stream s = stream(receiver, 1, {"--duration", "1.5", "--loss", "25", "--seed", "7"});
        ASSERT_EQ(s.result.exitCode, 0) << s.result.err;
        EXPECT_EQ(s.kinds()[0], 'D');
        // 90 frames at 25 %: 22.5 expected; the bounds are over three deviations wide.
        const auto dropped = static_cast<int>(90 - s.frameNumbers().size());
        EXPECT_GE(dropped, 9);
        EXPECT_LE(dropped, 36);
        EXPECT_NE(s.result.out.find(", " + std::to_string(dropped) + " frames dropped"),
                  std::string::npos)
            << s.result.out;
        if (run == 0) {
            first = s.frameNumbers();
        } else {
            EXPECT_EQ(s.frameNumbers(), first);
        }
    }
}

TEST(StreamLoopbackTest, PauseResendsTheDefinitionAndRepeatsComeOnTime) {
    LoopbackReceiver receiver;
    const Stream paused =
        stream(receiver, 1, {"--duration", "1.2", "--pause-at", "0.4", "--pause-for", "0.3"});
    ASSERT_EQ(paused.result.exitCode, 0) << paused.result.err;
    const std::string kinds = paused.kinds();
    const std::size_t again = kinds.find('D', 1);
    ASSERT_EQ(again, 25U) << kinds;  // 24 frames before 0.4 s
    ASSERT_EQ(kinds.find_first_not_of('F', again + 1), std::string::npos) << kinds;
    const auto& p = paused.ports[0];
    // The clock ran on through the pause: about 18 frame numbers are never sent.
    EXPECT_NEAR(p[again + 1].frame.frameNumber - p[1].frame.frameNumber, 42, 1);
    EXPECT_GE(p[again].arrival - p[again - 1].arrival, 250ms);

    const Stream repeated =
        stream(receiver, 1, {"--fps", "30", "--duration", "1", "--repeat-definition", "0.25"});
    std::vector<std::int32_t> framesAfterDefinition;
    for (std::size_t i = 1; i + 1 < repeated.ports[0].size(); ++i) {
        if (repeated.ports[0][i].kind == 'D') {
            framesAfterDefinition.push_back(repeated.ports[0][i + 1].frame.frameNumber -
                                            repeated.ports[0][1].frame.frameNumber);
        }
    }
    EXPECT_EQ(framesAfterDefinition, (std::vector<std::int32_t>{8, 15, 23})) << repeated.kinds();
}

TEST(StreamLoopbackTest, PerformersLandOnConsecutivePortsEachWithItsOwnSkeleton) {
    LoopbackReceiver receiver(3);
    const Stream s = stream(
        receiver, 3, {"--performers", "3", "--fps", "30", "--duration", "0.3", "--jitter", "5"});
    ASSERT_EQ(s.result.exitCode, 0) << s.result.err;
    std::set<std::uint64_t> ids;
    std::set<float> heights;
    for (int port = 0; port < 3; ++port) {
        ASSERT_EQ(s.kinds(port), "D" + std::string(9, 'F')) << "port " << port;
        ids.insert(s.ports[port][0].definition.skeletonId);
        heights.insert(s.ports[port][0].definition.bones[0].translation[1]);
        EXPECT_EQ(s.frameNumbers(port), s.frameNumbers(0));
        EXPECT_NE(
            s.result.out.find(":" + std::to_string(receiver.port(port)) + ": 10 datagrams sent"),
            std::string::npos)
            << s.result.out;
    }
    EXPECT_EQ(ids.size(), 3U);
    EXPECT_EQ(heights.size(), 3U);
}

TEST(StreamLoopbackTest, SigtermEndsTheStreamCleanlyWithAnHonestSummary) {
    LoopbackReceiver receiver;
    Subprocess process({TULVEX_STREAM_EXE, "--port", std::to_string(receiver.port())});
    bool signalled = false;
    const auto datagrams = receiver.collect([&](std::size_t received) {
        if (!signalled && received >= 20) {
            process.signal(SIGTERM);
            signalled = true;
        }
        return process.running();
    });
    const Subprocess::Result result = process.wait(5s);
    ASSERT_TRUE(signalled);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(std::to_string(datagrams.size()) + " datagrams sent"),
              std::string::npos)
        << result.out << " but " << datagrams.size() << " arrived";
}

}  // namespace
